# One fuzz target per reader of the codec library, seeded with the shared image corpus.
foreach(reader ReadBMP LoadPCX ReadJpeg)
  string(TOLOWER ${reader} name)
  if(reader STREQUAL ReadBMP)
    set(seeds ${ORVIK_CORPUS_DIR}/bmp)
  elseif(reader STREQUAL LoadPCX)
    set(seeds ${ORVIK_CORPUS_DIR}/pcx)
  else()
    set(seeds ${ORVIK_CORPUS_DIR}/jpeg)
  endif()
  orvik_add_fuzzer(fuzz_${name} SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/imgkit_reader_fuzzer.cpp
                   LIBS imgkit orvik_core SEEDS ${seeds})
  target_compile_definitions(fuzz_${name} PRIVATE IMGKIT_READER=${reader})
endforeach()
