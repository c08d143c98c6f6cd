# Colour reduction: the helper of bench/quantz_compare, which sets libquantz.so against other tools.
add_executable(quantz_tool ${CMAKE_CURRENT_LIST_DIR}/quantz_tool.cpp)
target_link_libraries(quantz_tool PRIVATE quantz)
