#!/usr/bin/env bash
# Sets up, builds and starts the window in the demo folder (made on first run with a placeholder menu, sample
# ROMs and their list), with the list open and the flash map beside the window, so that a newcomer sees at
# once what the tool makes of a table. Arguments replace the list and the map: scripts/run.sh my.json
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build
cmake --build build -j"$(nproc)"
[ $# -eq 0 ] && set -- --flash-map demo/samples.json
exec build/bin/romcompiler --demo-folder demo "$@"
