#!/usr/bin/env bash
# Installs what building and testing need, on Debian 12; only what is missing, with sudo when not root.
set -euo pipefail

packages=(g++ cmake make libgtest-dev libbenchmark-dev qt6-base-dev clang libclang-rt-14-dev zlib1g-dev nlohmann-json3-dev libxml2-utils time)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
