# One fuzz target per reader of the formats the codec library reads on its own or through giflib,
# libtiff and libwebp, seeded with files of every kind made at test time by other programs
# (tests/imgkit/samples.py: Pillow, ImageMagick, GraphicsMagick, cwebp, tiffcp).
set(generated_seeds ${CMAKE_BINARY_DIR}/fuzz-seeds)
add_test(NAME fuzz_make_seeds COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tests/imgkit/samples.py make ${generated_seeds})
set_tests_properties(fuzz_make_seeds PROPERTIES FIXTURES_SETUP fuzz_seeds)
foreach(entry "Gif;*.gif" "Tiff;*.tif" "Webp;*.webp" "Tga;*.tga" "Ico;*.ico" "Pnm;*.p?m")
  list(GET entry 0 format)
  list(GET entry 1 pattern)
  string(TOLOWER ${format} name)
  orvik_add_fuzzer(fuzz_read${name} SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/formats_fuzzer.cpp
                   LIBS imgkit_codecs GENERATED_SEEDS fuzz_seeds SEEDS ${generated_seeds} PATTERN ${pattern})
  target_compile_definitions(fuzz_read${name} PRIVATE IMGKIT_READER=Read${format}Image)
endforeach()
