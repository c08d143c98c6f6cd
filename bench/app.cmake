# Benchmarks that run the program itself on the offscreen platform.
if(TARGET orvik_gui)
  add_library(orvik_gui_bench STATIC gui_bench.cpp)
  target_link_libraries(orvik_gui_bench PUBLIC orvik_gui benchmark::benchmark)
  orvik_add_bench(bench_view SOURCES view_bench.cpp LIBS orvik_gui_bench)
  orvik_add_bench(bench_clipboard SOURCES clipboard_bench.cpp LIBS orvik_gui_bench)
  orvik_add_bench(bench_open SOURCES open_bench.cpp LIBS orvik_gui_bench)
endif()
