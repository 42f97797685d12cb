#!/usr/bin/env bash
# Benchmark: a full flash (a 32 KiB menu and ROMs of 256, 256, 256, 128, 64, 32, 16, 8, 4, 2 and 1 blocks)
# compiled by romcompiler-cli straight from one ".zip" per ROM, against unpacking the same archives with
# `bsdtar -xOf` and compiling the unpacked ROMs, in the same run. The ROMs are half random, half a repeated
# pattern, so deflate has work to do both ways. Prints the median wall time of each over RUNS runs and
# their ratio (target <= 1.3).
#   bench/zipped_flash.sh [CLI] [RUNS]
set -euo pipefail
cli=$(realpath "${1:-build/bin/romcompiler-cli}")
runs=${2:-7}
command -v bsdtar >/dev/null || { echo "needs bsdtar (apt-get install libarchive-tools)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir zipped unpacked
head -c 32768 /dev/urandom > zipped/Menu.GB
cp zipped/Menu.GB unpacked/Menu.GB
zips=()
for blocks in 256 256 256 128 64 32 16 8 4 2 1; do
  name="rom${#zips[@]}_${blocks}.gb"
  { head -c $((blocks * 16384)) /dev/urandom; head -c $((blocks * 16384)) /dev/zero | tr '\0' 'R'; } > "$name"
  bsdtar -a -cf "zipped/${name%.gb}.zip" "$name"
  rm "$name"
  zips+=("${name%.gb}.zip")
done

now() { date +%s.%N; }
median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

zip_times=()
base_times=()
for ((i = 0; i < runs; i++)); do
  rm -f zipped/Output*.GB unpacked/Output*.GB unpacked/*.gb
  sync
  start=$(now); "$cli" -C zipped --quiet "${zips[@]}" > /dev/null; end=$(now)
  zip_times+=("$(echo "$end - $start" | bc -l)")
  sync
  start=$(now)
  roms=()
  for zip in "${zips[@]}"; do
    bsdtar -xOf "zipped/$zip" > "unpacked/${zip%.zip}.gb"
    roms+=("${zip%.zip}.gb")
  done
  "$cli" -C unpacked --quiet "${roms[@]}" > /dev/null
  end=$(now)
  base_times+=("$(echo "$end - $start" | bc -l)")
done
cmp zipped/Output.GB unpacked/Output.GB

zip_median=$(printf '%s\n' "${zip_times[@]}" | median)
base_median=$(printf '%s\n' "${base_times[@]}" | median)
printf 'runs: %d\n' "$runs"
printf 'from the zips median wall time:          %.3f s\n' "$zip_median"
printf 'bsdtar -xOf + compile median wall time:  %.3f s\n' "$base_median"
printf 'ratio (target <= 1.3):                   %.2f\n' "$(echo "$zip_median / $base_median" | bc -l)"
