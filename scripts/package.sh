#!/usr/bin/env bash
# Builds the packages and checks them: the .deb from the Linux build (lintian), and from the Windows build
# a ZIP and an NSIS installer, which is installed silently under wine, run from where it installed the
# program, its Start menu entry looked for, and uninstalled without leaving a file behind.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/setup.sh packages
cmake -S . -B build -DROMCOMPILER_WERROR=ON
cmake --build build -j"$(nproc)"
(cd build && cpack -G DEB)
lintian --fail-on error --suppress-tags bogus-mail-host,bogus-mail-host-in-debian-changelog build/*.deb

scripts/build-windows.sh
(cd build-windows && cpack)
export WINEDEBUG=-all WINEPREFIX="$PWD/build-windows/wine-prefix" WINEDLLOVERRIDES="mscoree,mshtml="
version=$(sed -nE 's/^project\(romcompiler VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
drive=$WINEPREFIX/drive_c
wine "build-windows/romcompiler-$version-Windows.exe" /S
[ "$(wine "C:\\Program Files\\ROM Compiler\\bin\\romcompiler-cli.exe" --version | tr -d '\r')" = "romcompiler-cli $version" ]
ls "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/"*/"ROM Compiler (command line).lnk"
wine "C:\\Program Files\\ROM Compiler\\Uninstall.exe" /S
sleep 3 # the uninstaller finishes from a copy of itself
left=$(find "$drive" -iname '*romcompiler*' -o -iname 'ROM Compiler*')
[ -z "$left" ] || { echo "left behind by the uninstaller: $left" >&2; exit 1; }
ls -l build/*.deb build-windows/*.zip build-windows/*.exe
