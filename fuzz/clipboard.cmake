# The clipboard bitmap reader, seeded with the shared BMP files.
orvik_add_fuzzer(fuzz_clipboard SOURCE clipboard_fuzz.cpp LIBS orvik_core SEEDS ${ORVIK_CORPUS_DIR}/bmp)
