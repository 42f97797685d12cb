#!/usr/bin/env bash
# Sets up, builds and runs every test: the whole build (core, command line, window offscreen), then the
# core and command line again under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets
# over their saved inputs, then the Windows build's core and command-line tests under wine, its compilation
# against the Linux build's, and the Windows window driven through its controls. Ends with one line that
# counts them all.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# Each build compiles its sources in batches of eight: the whole run builds the core four times, and most
# of that time goes to the same standard and test headers, read once per batch instead of once per file.
unity=(-DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=8)

cmake -S . -B build -DROMCOMPILER_WERROR=ON "${unity[@]}"
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs" | tee "$logs/build.txt"

cmake -S . -B build-asan -DROMCOMPILER_WERROR=ON -DROMCOMPILER_SANITIZE=ON -DROMCOMPILER_WITH_UI=OFF "${unity[@]}"
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" | tee "$logs/asan.txt"

fuzz_targets=0
if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh corpus | tee "$logs/fuzz.txt"
  fuzz_targets=$(grep -c 'saved inputs' "$logs/fuzz.txt")
fi

windows_started=$SECONDS
# The Windows build: no sanitizers and no window, so it stays quick. One wine server for the whole run, in
# the build folder's own prefix, instead of one started and stopped per test.
scripts/setup.sh windows
libarchive=$(scripts/mingw-libarchive.sh) # built once per machine, then taken from its cache
cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DROMCOMPILER_WITH_UI=OFF -DROMCOMPILER_WERROR=ON -DROMC_MINGW_LIBARCHIVE="$libarchive" \
  -DROMCOMPILER_LINUX_CLI="$PWD/build/bin/romcompiler-cli" "${unity[@]}"
export WINEDEBUG=-all WINEPREFIX="$PWD/build-windows/wine-prefix" WINEDLLOVERRIDES="mscoree,mshtml="
# The server first, then one program: the prefix is made once (not by two test programs racing), and the
# services wine starts with it get /dev/null, not a test's output, which ctest would wait on for ever.
mkdir -p "$WINEPREFIX"
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k || true; rm -rf "$logs"' EXIT
cmake --build build-windows -j"$jobs"
# A failed test gets a second try: on a loaded machine wine now and then fails to start a program at all.
# A test that fails twice fails, and one that hangs fails after five minutes instead of holding up the run.
ctest --test-dir build-windows --output-on-failure -j"$jobs" --repeat until-pass:2 --timeout 300 |
  tee "$logs/windows.txt"
# The Windows window under wine, driven through its controls, against the Linux command line.
scripts/test-win32-window.sh build-windows build/bin/romcompiler-cli
window_smoke=1
echo "the Windows stage (cross build, tests under wine, the window's smoke test) took $((SECONDS - windows_started)) s"

# ctest's summary: "100% tests passed, 0 tests failed out of 150"; a skipped test is listed as "(Skipped)".
total=0
failed=0
skipped=0
for log in "$logs/build.txt" "$logs/asan.txt" "$logs/windows.txt"; do
  line=$(grep -E 'tests failed out of [0-9]+' "$log" | tail -n 1)
  failed=$((failed + $(sed -E 's/.* ([0-9]+) tests failed out of.*/\1/' <<<"$line")))
  total=$((total + $(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")))
  skipped=$((skipped + $(grep -c -E '^\s+[0-9]+ - .*\(Skipped\)$' "$log" || true)))
done
echo "tests: $((total - failed - skipped + fuzz_targets + window_smoke)) passed, $failed failed, $skipped skipped"
