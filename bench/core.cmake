find_package(Qt6 QUIET COMPONENTS Gui)
if(Qt6Gui_FOUND)
  # Qt only reads the photo the colour-conversion benchmark starts from.
  orvik_add_bench(bench_pixels SOURCES pixel_bench.cpp LIBS orvik_core Qt6::Gui)
  target_compile_definitions(bench_pixels PRIVATE ORVIK_BENCH_HAVE_QT=1)
else()
  orvik_add_bench(bench_pixels SOURCES pixel_bench.cpp LIBS orvik_core)
endif()
orvik_add_bench(bench_undo SOURCES undo_bench.cpp LIBS orvik_core)
