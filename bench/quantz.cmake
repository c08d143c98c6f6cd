# Colour reduction: timings of libquantz.so and the nearest-entry search, and the helper of
# bench/quantz_compare, which sets the library against ImageMagick and pngquant.
orvik_add_bench(bench_quantz SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_quantz.cpp LIBS quantz orvik_core)

add_executable(quantz_tool ${CMAKE_CURRENT_LIST_DIR}/quantz_tool.cpp)
target_link_libraries(quantz_tool PRIVATE quantz)

# orvik --convert as a user runs it, and its parts.
if(TARGET orvik)
  orvik_add_bench(bench_convert SOURCES ${CMAKE_CURRENT_LIST_DIR}/convert_bench.cpp LIBS imgkit quantz orvik_core)
  target_compile_definitions(bench_convert PRIVATE ORVIK_PROGRAM="$<TARGET_FILE:orvik>")
  add_dependencies(bench_convert orvik)
endif()
