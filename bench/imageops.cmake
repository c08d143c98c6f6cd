# Image operations: Resize Canvas, Resize Image and Decrease Color Depth on a 6000 x 4000 picture.
# The reduction loads libquantz.so from beside the benchmark program.
if(TARGET orvik_gui_bench)
  orvik_add_bench(bench_imageops SOURCES image_ops_bench.cpp LIBS orvik_gui_bench)
  if(TARGET quantz)
    add_dependencies(bench_imageops quantz)
  endif()
endif()
