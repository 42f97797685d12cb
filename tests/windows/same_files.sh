# Sourced by the scripts that compare a Windows run with a Linux one.
# same_files DIR_A DIR_B NAME...: every NAME that is in either folder holds the same bytes in both; prints
# "same: NAME" for each, cmp's difference otherwise, and returns 1 when any differs or is missing from one.
same_files() {
  local a=$1 b=$2 name differs=0
  shift 2
  for name in "$@"; do
    if [ -e "$a/$name" ] || [ -e "$b/$name" ]; then
      if cmp "$a/$name" "$b/$name"; then
        echo "same: $name"
      else
        differs=1
      fi
    fi
  done
  return $differs
}
