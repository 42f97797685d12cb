#!/usr/bin/env bash
# Cross-builds the Windows window, romcompiler.exe (native Win32, no Qt), the command line,
# romcompiler-cli.exe, and their tests into build-windows/. Installs the cross compilers and wine first where missing.
# Extra arguments go to the build, e.g. --target core_tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh windows
# libarchive and liblzma for mingw, built once per machine into a cache (setup.sh made it; this prints where).
libarchive=$(scripts/mingw-libarchive.sh)

launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DROMCOMPILER_WITH_UI=OFF -DROMCOMPILER_WERROR=ON -DROMC_MINGW_LIBARCHIVE="$libarchive" "${launcher[@]}"
cmake --build build-windows -j"$(nproc)" "$@"
echo "built: build-windows/bin/romcompiler.exe build-windows/bin/romcompiler-cli.exe"
