#!/usr/bin/env bash
# The Windows window under wine: starts romcompiler.exe in a demo folder under Xvfb, drives it through its
# controls (Find File, Save?, typing a name, Add ROM, a row chosen and Remove ROM, a dropped file, Generate
# Compilation), with the flash map open, through its --replay test hook, then compares "Menu.GB",
# "Output.GB" and the pieces with what the Linux command line writes for the same table, byte for byte.
# Then the real dialogs, driven by keys (tests/windows/real_dialogs.sh), with the table checked after each
# and a killed process's table restored.
# usage: scripts/test-win32-window.sh [WINDOWS_BUILD_DIR [LINUX_CLI]]
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/windows/same_files.sh
source tests/windows/real_dialogs.sh
windows_build=$(realpath "${1:-build-windows}")
linux_cli=$(realpath "${2:-build/bin/romcompiler-cli}")
exe=$windows_build/bin/romcompiler.exe
for needed in "$exe" "$linux_cli"; do
  [ -x "$needed" ] || { echo "missing: $needed (build it first)" >&2; exit 2; }
done

scratch=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  # KEEP=1 leaves the folders for a look.
  if [ -n "${KEEP:-}" ]; then echo "kept: $scratch"; else rm -rf "$scratch"; fi
}
trap cleanup EXIT
# A display of its own (ROMC_TEST_DISPLAY names one): two runs side by side must not drive each other's
# windows. Xvfb writes the number it took to the descriptor it is given.
if [ -n "${ROMC_TEST_DISPLAY:-}" ]; then
  Xvfb "$ROMC_TEST_DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  display=$ROMC_TEST_DISPLAY
else
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
  for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
  display=:$(head -n1 "$scratch/display")
fi
xvfb=$!
export DISPLAY=$display WINEDEBUG=-all WINEPREFIX=$windows_build/wine-prefix WINEDLLOVERRIDES=mscoree,mshtml=

# A table left by an earlier killed run would be offered back first; names are proposed from file names
# unless a settings file left by someone trying the window says otherwise.
session_left=$(settings_session_list) && rm -f "$session_left" "$(dirname "$session_left")/settings.json"
python3 docs/make_demo_roms.py "$scratch/window" >/dev/null
cp -r "$scratch/window" "$scratch/linux"
cat >"$scratch/actions.replay" <<'ACTIONS'
# The flash map open throughout, painted again at every change of the table
menu 310
# Three rows, the middle one chosen in the name column and removed, the table kept as a list
pick PUZZLE.GB
click Command1
click Command2
pick RACER.GB
click Command1
click Command2
pick QUEST.GB
click Command1
click Command2
select List1 1
click Command5
pick removed.json
menu 102
answer Yes
click Command3
# PUZZLE with "Save?" ticked by hand
pick PUZZLE.GB
click Command1
click Check1
click Command2
# QUEST: ticked by hand too (the demo ROMs carry no logo, so their headers propose nothing and each pick
# starts unticked)
pick QUEST.GB
click Command1
click Check1
click Command2
pick SAGA.GB
click Command1
click Command2
pick TENNIS.GB
click Command1
type Text1 Tennis Ace
click Command2
drop ARCADE.GB
click Command2
click Command4
# the list in use has changes since it was saved: the close asks, and they are discarded
answer Discard
close
ACTIONS

started=$SECONDS
(cd "$scratch/window" && timeout 90 wine "$exe" --replay "$(winepath -w "$scratch/actions.replay" 2>/dev/null)" \
   >"$scratch/replay.log" 2>&1) || { echo "the window failed or hung:" >&2; cat "$scratch/replay.log" >&2; exit 1; }
echo "window replayed in $((SECONDS - started)) s"
sed 's/^/  window: /' "$scratch/replay.log"
(cd "$scratch/linux" && "$linux_cli" --quiet --save PUZZLE.GB --save QUEST.GB SAGA.GB --name "Tennis Ace" \
   TENNIS.GB ARCADE.GB >"$scratch/linux-table.txt")

failed=0
if grep -q '^unanswered\|^line ' "$scratch/replay.log"; then
  echo "the replay went other than planned" >&2
  failed=1
fi
# After the removal the list holds the first and the third ROM, none with save memory.
cat >"$scratch/removed.expected" <<'LIST'
{
  "romcompiler-list": 1,
  "roms": [
    { "name": "PUZZLE", "file": "PUZZLE.GB", "save": false },
    { "name": "QUEST", "file": "QUEST.GB", "save": false }
  ]
}
LIST
cmp "$scratch/removed.expected" "$scratch/window/removed.json" && echo "same: the list after Remove ROM" || failed=1
[ -s "$scratch/window/Output.GB" ] || { echo "the window wrote no Output.GB" >&2; failed=1; }
same_files "$scratch/linux" "$scratch/window" Menu.GB Output.GB Output1.GB Output2.GB Output3.GB Output4.GB ||
  failed=1

# The real dialogs: a work folder with a sub folder of ROMs, one named "Café Quest.gb", and an image of two.
python3 docs/make_demo_roms.py "$scratch/dialogs" >/dev/null
mkdir -p "$scratch/dialogs/more" "$scratch/image"
cp "$scratch/dialogs/QUEST.GB" "$scratch/dialogs/more/Café Quest.gb"
cp "$scratch/dialogs/PUZZLE.GB" "$scratch/dialogs/RACER.GB" "$scratch/dialogs/more/"
cp "$scratch/dialogs/Menu.GB" "$scratch/dialogs/PUZZLE.GB" "$scratch/dialogs/RACER.GB" "$scratch/image/"
(cd "$scratch/image" && "$linux_cli" --quiet PUZZLE.GB RACER.GB >/dev/null)
started=$SECONDS
if real_dialogs "$exe" "$scratch/dialogs" "$scratch/image/Output.GB"; then
  echo "real dialogs driven in $((SECONDS - started)) s"
else
  echo "the real dialogs went other than planned; the window said:" >&2
  cat "$scratch/dialogs.log" >&2
  failed=1
fi
exit $failed
