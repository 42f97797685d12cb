#!/usr/bin/env bash
# Sets up, builds and starts the window in the demo folder (made on first run with a placeholder menu and
# sample ROMs), so a newcomer can pick, add and compile at once.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build
cmake --build build -j"$(nproc)"
exec build/bin/romcompiler --demo-folder demo "$@"
