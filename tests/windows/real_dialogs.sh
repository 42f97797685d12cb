# shellcheck shell=bash
# Sourced by scripts/test-win32-window.sh: the Windows window with its real dialogs, driven by keys as a
# person drives it under Xvfb (no window manager, so the keys go to the window under the pointer): Find
# File and Enter, Add ROMs with a typed folder and three names (one not ASCII), the process killed and the
# table offered back, a row moved twice with Alt+Down and removed with Delete, a name edited in place with F2,
# a row dragged and the drag undone, Save List As, Open List,
# Import Image with its folder, Quit. After each step the
# table is read from the session list the window keeps in its settings folder.
# real_dialogs EXE WORK_FOLDER IMAGE: WORK_FOLDER holds "Menu.GB", the ROMs and "more/" with
# "Café Quest.gb", PUZZLE.GB and RACER.GB; IMAGE is an "Output.GB" of PUZZLE.GB and RACER.GB.

# The window at 96 dpi: the client area under the menu bar, which wine makes 19 pixels high; the status line
# below it grows with its text, so places are taken from the window's top. "Find File" centred at (240,
# 16) in the client area.
readonly kMenuBarPixels=19 kFindFileX=240 kFindFileY=16
# The first row of the name column, List1 at (8, 72) with rows of 14 pixels.
readonly kFirstRowX=40 kFirstRowY=80 kRowPixels=14
readonly kWaitSeconds=30

dialog_log() { echo "  dialogs: $*"; }

# The id of the first window whose name matches the regular expression, within kWaitSeconds.
wait_window() {
  local id tries=$((kWaitSeconds * 4))
  while [ $tries -gt 0 ]; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.25
    tries=$((tries - 1))
  done
  echo "no window named like '$1' appeared" >&2
  return 1
}

# Puts the pointer inside window $1 at ($2, $3) from its top left (negative: from its bottom), so that
# the keys go there.
point_into() {
  # shellcheck disable=SC2034 # set by the eval: the window's geometry
  local X Y WIDTH HEIGHT SCREEN WINDOW x=$2 y=$3
  eval "$(xdotool getwindowgeometry --shell "$1")"
  [ "$y" -lt 0 ] && y=$((HEIGHT + y))
  xdotool mousemove $((X + x)) $((Y + y))
  sleep 0.5
}

main_window() { wait_window '^(.* - )?Tarnwick 256M ROM Compiler$'; }

# Keys to the main window, the pointer resting on its status line.
main_keys() {
  local main
  main=$(main_window) || return 1
  point_into "$main" 300 -10
  xdotool key "$@"
}

# In the dialog titled $1: each further argument typed into the name box and entered; with none, Enter
# takes what the dialog proposes.
answer_dialog() {
  local dialog entry
  dialog=$(wait_window "^$1\$") || return 1
  point_into "$dialog" 20 -20
  shift
  [ $# -gt 0 ] || xdotool key Return
  for entry in "$@"; do
    xdotool key Home shift+End BackSpace
    xdotool type --delay 20 "$entry"
    xdotool key Return
    sleep 1
  done
}

# The menu names of the table as the session list holds them, joined with ";"; "-" without a session list.
session_names() {
  python3 - "$session_list" <<'PYTHON'
import json, sys
try:
    with open(sys.argv[1], encoding="utf-8") as f:
        print(";".join(rom["name"] for rom in json.load(f)["roms"]))
except FileNotFoundError:
    print("-")
PYTHON
}

# Waits until the table holds $2 ("-": no session list), then says so under the step's name $1.
table_is() {
  local tries=$((kWaitSeconds * 4)) names
  while [ $tries -gt 0 ]; do
    names=$(session_names)
    if [ "$names" = "$2" ]; then
      dialog_log "$1: $names"
      return 0
    fi
    sleep 0.25
    tries=$((tries - 1))
  done
  echo "after $1 the table is '$names', not '$2'" >&2
  return 1
}

start_window() {
  (cd "$work" && exec wine "$exe" >>"$work/../dialogs.log" 2>&1) &
  window_pid=$!
  main_window >/dev/null
}

# The session list of the prefix's user, "" before the prefix has one.
settings_session_list() {
  local settings
  for settings in "$WINEPREFIX"/drive_c/users/*/AppData/Roaming; do
    [ -d "$settings" ] && echo "$settings/romcompiler/last-session.json" && return 0
  done
  return 1
}

real_dialogs() {
  exe=$1 work=$2
  local image=$3
  session_list=$(settings_session_list)
  [ -n "$session_list" ] || { echo "no AppData folder in $WINEPREFIX" >&2; return 1; }
  rm -f "$session_list"
  local windows_work
  windows_work=$(winepath -w "$work" 2>/dev/null)
  mkdir -p "$work/imported"
  cat >"$work/other.json" <<'LIST'
{
  "romcompiler-list": 1,
  "roms": [
    { "name": "ARCADE", "file": "ARCADE.GB", "save": false },
    { "name": "SAGA", "file": "SAGA.GB", "save": false }
  ]
}
LIST

  start_window
  local main
  main=$(main_window)
  point_into "$main" $kFindFileX $((kMenuBarPixels + kFindFileY))
  xdotool click 1
  answer_dialog 'Select File' 'TENNIS.GB' || return 1
  main_keys Return # the focus is in the name box: Enter adds the ROM
  table_is "Find File, Enter" "TENNIS" || return 1

  main_keys ctrl+shift+a
  answer_dialog 'Select Files' "$windows_work\\more" '"Café Quest.gb" "PUZZLE.GB" "RACER.GB"' || return 1
  table_is "Add ROMs" "TENNIS;CAFé QUEST;PUZZLE;RACER" || return 1

  kill -KILL "$window_pid"
  wait "$window_pid" 2>/dev/null || true
  table_is "killed" "TENNIS;CAFé QUEST;PUZZLE;RACER" || return 1
  (cd "$work" && exec wine "$exe" >>"$work/../dialogs.log" 2>&1) &
  window_pid=$!
  local question
  question=$(wait_window 'Restore$') || return 1
  point_into "$question" 20 -20
  xdotool key Return # "Yes", the default
  main_window >/dev/null
  table_is "restored after the kill" "TENNIS;CAFé QUEST;PUZZLE;RACER" || return 1

  # Alt+Down twice, then Delete: the release of Alt must not leave the menu bar taking the next key.
  main=$(main_window)
  point_into "$main" $kFirstRowX $((kMenuBarPixels + kFirstRowY))
  xdotool click 1
  sleep 0.5
  xdotool key alt+Down
  table_is "Alt+Down" "CAFé QUEST;TENNIS;PUZZLE;RACER" || return 1
  xdotool key alt+Down
  table_is "Alt+Down again" "CAFé QUEST;PUZZLE;TENNIS;RACER" || return 1
  xdotool key Delete
  table_is "Delete" "CAFé QUEST;PUZZLE;RACER" || return 1

  # F2 edits the chosen name in place; a drag takes the first row to the third place; Ctrl+Z takes it back.
  # The pointer still rests on the first row: the status line's height changes with the selected row, so the
  # row's place measured from the window's bottom would not hold.
  xdotool click 1
  sleep 0.5
  xdotool key F2
  sleep 0.5
  xdotool type --delay 20 "quest"
  xdotool key Return
  table_is "F2, a name, Enter" "QUEST;PUZZLE;RACER" || return 1
  xdotool mousedown 1
  sleep 0.3
  xdotool mousemove_relative 0 $((2 * kRowPixels))
  sleep 0.3
  xdotool mouseup 1
  table_is "a drag to the third row" "PUZZLE;RACER;QUEST" || return 1
  main_keys ctrl+z
  table_is "Ctrl+Z" "QUEST;PUZZLE;RACER" || return 1

  main_keys ctrl+shift+s
  answer_dialog 'Save List As' # "games.json" in the work folder is proposed
  wait_window '^games.json - ' >/dev/null || return 1
  [ -s "$work/games.json" ] || { echo "Save List As wrote no games.json" >&2; return 1; }
  dialog_log "Save List As: games.json"

  main_keys ctrl+o
  answer_dialog 'Open List' 'other.json' || return 1
  table_is "Open List" "ARCADE;SAGA" || return 1

  main_keys ctrl+i
  answer_dialog 'Import Image' "$(winepath -w "$image" 2>/dev/null)" || return 1
  answer_dialog 'Import Image - Folder.*' "$windows_work\\imported" || return 1
  table_is "Import Image" "PUZZLE;RACER" || return 1
  [ -s "$work/imported/list.json" ] || { echo "Import Image wrote no list.json" >&2; return 1; }

  main_keys ctrl+q
  wait "$window_pid" || { echo "the window ended with a failure" >&2; return 1; }
  table_is "Quit" "-"
}
