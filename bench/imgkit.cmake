# The codec library on a 6000 x 4000 picture: read and write speeds beside djpeg and netpbm.
orvik_add_bench(bench_imgkit SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/imgkit_bench.cpp LIBS imgkit orvik_core)
