#!/usr/bin/env bash
# Sets up, builds and runs every test, in four stages: "linux", the whole build (core, command line, window
# offscreen); "asan", the core and command line again under AddressSanitizer and UndefinedBehaviorSanitizer,
# with every library header compiled alone and their sources one by one; "fuzz", the fuzz targets over their
# saved inputs; "windows", the Windows build's tests under wine, its compilation against the Linux build's,
# and the Windows window driven through its controls. Ends with one line that counts them all, taken from
# each runner's own result.
#   scripts/test.sh                 every stage, as CI runs it
#   scripts/test.sh STAGE...        only those stages (linux, asan, fuzz, windows)
set -euo pipefail
cd "$(dirname "$0")/.."

all_stages=(linux asan fuzz windows)
stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=("${all_stages[@]}")
for stage in "${stages[@]}"; do
  case "$stage" in
    linux | asan | fuzz | windows) ;;
    *) echo "usage: scripts/test.sh [linux|asan|fuzz|windows]..." >&2; exit 2 ;;
  esac
done
wanted() { [[ " ${stages[*]} " == *" $1 "* ]]; }

scripts/setup.sh
jobs=$(nproc)
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# Each build compiles its sources in batches of eight: the whole run builds the core four times, and most
# of that time goes to the same standard and test headers, read once per batch instead of once per file.
unity=(-DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=8)
# A file unchanged since an earlier run on this machine is taken from the compiler cache, whatever folder
# the clone is in.
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  unity+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

passed=0
failed=0
skipped=0
# Adds what ctest's JUnit file says: <testsuite ... tests="N" failures="F" ... skipped="S" ...>. A stage
# whose file is missing, or that ran no test, counts as one failure.
count_junit() {
  local suite tests fails skips
  # ctest writes the attributes one to a line.
  suite=$(tr '\n\t' '  ' <"$1" 2>/dev/null | grep -m1 -o '<testsuite [^>]*>' || true)
  tests=$(sed -nE 's/.* tests="([0-9]+)".*/\1/p' <<<"$suite")
  fails=$(sed -nE 's/.* failures="([0-9]+)".*/\1/p' <<<"$suite")
  skips=$(sed -nE 's/.* skipped="([0-9]+)".*/\1/p' <<<"$suite")
  if [ -z "$tests" ] || [ "$tests" -eq 0 ]; then
    echo "$2: no test ran" >&2
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + tests - ${fails:-0} - ${skips:-0}))
  failed=$((failed + ${fails:-0}))
  skipped=$((skipped + ${skips:-0}))
}
# Runs ctest in a build folder; the stage fails when ctest does, and its JUnit file is counted either way.
run_ctest() {
  local dir=$1 name=$2 status=0
  shift 2
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" --output-junit "$logs/$name.xml" "$@" || status=$?
  count_junit "$logs/$name.xml" "$name"
  return "$status"
}

if wanted linux || wanted windows; then
  cmake -S . -B build -DROMCOMPILER_WERROR=ON "${unity[@]}"
fi
if wanted linux; then
  cmake --build build -j"$jobs"
  QT_QPA_PLATFORM=offscreen run_ctest build linux
elif wanted windows; then
  # The Windows stage compares with the Linux command line.
  cmake --build build -j"$jobs" --target romcompiler-cli
fi

if wanted asan; then
  cmake -S . -B build-asan -DROMCOMPILER_WERROR=ON -DROMCOMPILER_SANITIZE=ON -DROMCOMPILER_WITH_UI=OFF \
    -DROMCOMPILER_SOURCES_ALONE=ON "${unity[@]}"
  cmake --build build-asan -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest build-asan asan
fi

if wanted fuzz; then
  scripts/fuzz.sh corpus | tee "$logs/fuzz.txt"
  # fuzz.sh exits non-zero on a crash, which ends this script; each target it ran says "saved inputs".
  targets=$(grep -c 'saved inputs' "$logs/fuzz.txt" || true)
  [ "$targets" -gt 0 ] || { echo "fuzz: no target ran" >&2; failed=$((failed + 1)); }
  passed=$((passed + targets))
fi

if wanted windows; then
  windows_started=$SECONDS
  # The Windows build: no sanitizers and no window, so it stays quick. One wine server for the whole run,
  # in the build folder's own prefix, instead of one started and stopped per test.
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
  # A failed test gets a second try: on a loaded machine wine now and then fails to start a program at
  # all. A test that fails twice fails, and one that hangs fails after five minutes instead of holding up
  # the run.
  run_ctest build-windows windows --repeat until-pass:2 --timeout 300
  # The Windows window under wine, driven through its controls, against the Linux command line: counted
  # by its own exit status.
  if scripts/test-win32-window.sh build-windows build/bin/romcompiler-cli; then
    passed=$((passed + 1))
  else
    echo "the Windows window's smoke test failed" >&2
    failed=$((failed + 1))
  fi
  echo "the Windows stage (cross build, tests under wine, the window's smoke test) took $((SECONDS - windows_started)) s"
fi

echo "tests: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
