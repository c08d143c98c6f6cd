#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: first the release build, then
# the whole program again (core, both libraries, the program and its GUI tests) under
# AddressSanitizer and UndefinedBehaviorSanitizer (clang), where the fuzz targets also replay
# their seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$jobs"

CC=clang CXX=clang++ cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVIK_BENCH=OFF -DORVIK_SANITIZE=ON -DORVIK_FUZZ=ON >/dev/null
cmake --build build-san -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-san --output-on-failure -j "$jobs"
echo "All tests passed."
