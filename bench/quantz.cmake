# Colour reduction: timings of libquantz.so and the nearest-entry search, and the helper of
# bench/quantz_compare, which sets the library against ImageMagick and pngquant.
orvik_add_bench(bench_quantz SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_quantz.cpp LIBS quantz orvik_core)

add_executable(quantz_tool ${CMAKE_CURRENT_LIST_DIR}/quantz_tool.cpp)
target_link_libraries(quantz_tool PRIVATE quantz)
