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
menu=$(ls -d "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/ROM Compiler"*)
ls "$menu/ROM Compiler (command line).lnk" "$menu/ROM Compiler.lnk"
# With a display, the window is started from its Start menu entry as a user would, and quit again.
if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null; then
  wine start "$(winepath -w "$menu/ROM Compiler.lnk")"
  for _ in $(seq 20); do
    window=$(xdotool search --onlyvisible --name "Tarnwick 256M ROM Compiler" | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 1
  done
  [ -n "$window" ] || { echo "the Start menu entry did not open the window" >&2; exit 1; }
  xdotool mousemove --window "$window" 300 300 click 1 key ctrl+q
  sleep 2
fi
wine "C:\\Program Files\\ROM Compiler\\Uninstall.exe" /S
sleep 3 # the uninstaller finishes from a copy of itself
# The user's own settings (the recent lists, under AppData) stay, as they do when any program goes.
left=$(find "$drive" -path "$drive/users" -prune -o \( -iname '*romcompiler*' -o -iname 'ROM Compiler*' \) -print)
[ -z "$left" ] || { echo "left behind by the uninstaller: $left" >&2; exit 1; }
ls -l build/*.deb build-windows/*.zip build-windows/*.exe
