#!/usr/bin/env bash
# Benchmark: a full flash (a 32 KiB menu and ROMs of 256, 256, 256, 128, 64, 32, 16, 8, 4, 2 and 1 blocks)
# compiled by romcompiler-cli, against cat of the same files into one image followed by split into 8 MiB
# pieces, in the same run. Prints the median wall time of each over RUNS runs, their ratio, and the CLI's
# peak resident memory.
#   bench/full_flash.sh [CLI] [RUNS]
set -euo pipefail
cli=$(realpath "${1:-build/bin/romcompiler-cli}")
runs=${2:-9}
[ -x /usr/bin/time ] || { echo "needs GNU time (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
head -c 32768 /dev/urandom > Menu.GB
roms=()
for blocks in 256 256 256 128 64 32 16 8 4 2 1; do
  name="rom${#roms[@]}_${blocks}.gb"
  head -c $((blocks * 32768)) /dev/urandom > "$name"
  roms+=("$name")
done

now() { date +%s.%N; }
median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

cli_times=()
base_times=()
for ((i = 0; i < runs; i++)); do
  rm -f Output*.GB  # both sides start without outputs, so neither pays for freeing an earlier run's files
  sync
  start=$(now); "$cli" --quiet "${roms[@]}" > /dev/null; end=$(now)
  cli_times+=("$(echo "$end - $start" | bc -l)")
  sync
  start=$(now); cat Menu.GB "${roms[@]}" > base.img && split -b 8388608 base.img base.; end=$(now)
  base_times+=("$(echo "$end - $start" | bc -l)")
  rm -f base.img base.*
done

cli_median=$(printf '%s\n' "${cli_times[@]}" | median)
base_median=$(printf '%s\n' "${base_times[@]}" | median)
/usr/bin/time -v "$cli" --quiet "${roms[@]}" > /dev/null 2> time.txt
peak_kib=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' time.txt)

printf 'runs: %d\n' "$runs"
printf 'romcompiler-cli median wall time: %.3f s\n' "$cli_median"
printf 'cat + split median wall time:     %.3f s\n' "$base_median"
printf 'ratio (target <= 1.25):           %.2f\n' "$(echo "$cli_median / $base_median" | bc -l)"
printf 'peak resident memory:             %d KiB (%.1f MiB, target <= 16 MiB)\n' "$peak_kib" "$(echo "$peak_kib / 1024" | bc -l)"
