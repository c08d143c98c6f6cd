find_package(Qt6 QUIET COMPONENTS Widgets)
if(TARGET orvik_gui)
  orvik_add_bench(bench_view SOURCES view_bench.cpp LIBS orvik_gui)
endif()
