# The recovery file reader, seeded with recovery files at each depth.
orvik_add_fuzzer(fuzz_recovery SOURCE recovery_fuzz.cpp LIBS orvik_core SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/recovery)
