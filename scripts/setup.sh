#!/usr/bin/env bash
# Installs what building and testing need, on Debian 12; only what is missing, with sudo when not root.
# With no argument: the Linux build and its tests. "windows": the cross build and wine. "packages": what
# builds and checks the packages. "all": every group.
set -euo pipefail

linux=(g++ cmake make libgtest-dev libbenchmark-dev qt6-base-dev clang libclang-rt-14-dev zlib1g-dev
       nlohmann-json3-dev libxml2-utils time scdoc desktop-file-utils appstream libarchive-dev
       libarchive-tools ccache)
# googletest: its sources, built by the cross build; wine64 runs the 64-bit tests; xvfb and python3 (the demo
# ROMs) serve the smoke test of the Windows window.
# dpkg-dev unpacks the source packages of libarchive and xz-utils for the mingw build of libarchive.
windows=(cmake make g++-mingw-w64-x86-64-posix libz-mingw-w64-dev nlohmann-json3-dev googletest wine wine64 dpkg-dev
         xvfb python3)
packages=(lintian nsis zip)

case "${1:-linux}" in
  linux) wanted=("${linux[@]}") ;;
  windows) wanted=("${windows[@]}") ;;
  packages) wanted=("${packages[@]}") ;;
  all) wanted=("${linux[@]}" "${windows[@]}" "${packages[@]}") ;;
  *) echo "usage: scripts/setup.sh [linux|windows|packages|all]" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Debian has no libarchive for mingw: built once per machine from Debian's own sources into a cache folder
# (scripts/mingw-libarchive.sh; nothing to do when it is there).
case "${1:-linux}" in
  windows | all) "${sudo[@]}" env ${ROMC_MINGW_CACHE:+ROMC_MINGW_CACHE="$ROMC_MINGW_CACHE"} \
                   "$(dirname "$0")/mingw-libarchive.sh" >/dev/null ;;
esac
