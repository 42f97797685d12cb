#!/usr/bin/env bash
# Sets up, builds and runs every test: the whole build (core, command line, window offscreen), then the
# core again under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets over their corpora.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DROMCOMPILER_SANITIZE=ON -DROMCOMPILER_WITH_UI=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j"$jobs"

if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh corpus
fi
