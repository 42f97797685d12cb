#!/usr/bin/env bash
# Builds and tests the project with GCC and Clang in the Debug, RelWithDebInfo and Release build types, as
# a user's own build does: without -Werror, so a warning one compiler version gives never stops a build.
# Each build gets a folder of its own under build-matrix/. Usage: scripts/build-matrix.sh [COMPILER...]
# (gcc, clang; both by default). Not part of the test command: six builds take too long for CI.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
compilers=("$@")
[ ${#compilers[@]} -gt 0 ] || compilers=(gcc clang)
status=0
mkdir -p build-matrix
for compiler in "${compilers[@]}"; do
  case "$compiler" in
  gcc) cc=gcc cxx=g++ ;;
  clang) cc=clang cxx=clang++ ;;
  *) echo "scripts/build-matrix.sh: unknown compiler $compiler (gcc or clang)" >&2; exit 2 ;;
  esac
  for type in Debug RelWithDebInfo Release; do
    dir="build-matrix/$compiler-$type"
    echo "== $compiler $type"
    if CC=$cc CXX=$cxx cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" >"$dir.configure.log" 2>&1 &&
      cmake --build "$dir" -j"$(nproc)" >"$dir.build.log" 2>&1 &&
      QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" -j"$(nproc)" >"$dir.test.log" 2>&1; then
      grep -E 'tests passed' "$dir.test.log"
      echo "   warnings: $(grep -c 'warning:' "$dir.build.log" || true)"
    else
      echo "   FAILED: see $dir.*.log" >&2
      status=1
    fi
  done
done
exit $status
