#!/usr/bin/env bash
# Sets up, builds and runs every test: the whole build (core, command line, window offscreen), then the
# core and command line again under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets
# over their saved inputs. Ends with one line that counts them all.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

cmake -S . -B build -DROMCOMPILER_WERROR=ON
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs" | tee "$logs/build.txt"

cmake -S . -B build-asan -DROMCOMPILER_WERROR=ON -DROMCOMPILER_SANITIZE=ON -DROMCOMPILER_WITH_UI=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" | tee "$logs/asan.txt"

fuzz_targets=0
if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh corpus | tee "$logs/fuzz.txt"
  fuzz_targets=$(grep -c 'saved inputs' "$logs/fuzz.txt")
fi

# ctest's summary: "100% tests passed, 0 tests failed out of 150"; a skipped test is listed as "(Skipped)".
total=0
failed=0
skipped=0
for log in "$logs/build.txt" "$logs/asan.txt"; do
  line=$(grep -E 'tests failed out of [0-9]+' "$log" | tail -n 1)
  failed=$((failed + $(sed -E 's/.* ([0-9]+) tests failed out of.*/\1/' <<<"$line")))
  total=$((total + $(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")))
  skipped=$((skipped + $(grep -c -E '^\s+[0-9]+ - .*\(Skipped\)$' "$log" || true)))
done
echo "tests: $((total - failed - skipped + fuzz_targets)) passed, $failed failed, $skipped skipped"
