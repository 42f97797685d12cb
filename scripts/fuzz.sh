#!/usr/bin/env bash
# The libFuzzer targets of the core and the command line.
#   scripts/fuzz.sh corpus                  run every target over its saved corpus and regression inputs
#                                           only (fast, for CI); non-zero exit on any crash
#   scripts/fuzz.sh SECONDS [TARGET...]      fuzz each target (all by default) for SECONDS, then merge the
#   scripts/fuzz.sh run SECONDS [TARGET...]  new inputs into fuzz/corpus/TARGET and keep crash inputs in
#                                           fuzz/regressions/TARGET; prints each target's figures
# Builds build-fuzz with clang; installs nothing (scripts/setup.sh does).
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(cli_args number_text compile_path)
mode=${1:-}
# "scripts/fuzz.sh 600" is "scripts/fuzz.sh run 600".
if [[ "$mode" =~ ^[0-9]+$ ]]; then
  set -- run "$@"
  mode=run
fi

usage() {
  echo "usage: scripts/fuzz.sh corpus | scripts/fuzz.sh [run] SECONDS [TARGET...]" >&2
  exit 2
}

build() {
  if ! command -v clang >/dev/null || ! command -v clang++ >/dev/null; then
    echo "scripts/fuzz.sh: clang and clang++ are needed for the fuzz targets (scripts/setup.sh installs them)" >&2
    exit 1
  fi
  mkdir -p build-fuzz
  # Two runs started side by side must not build the same folder at once.
  exec 9>build-fuzz/.build-lock
  flock 9
  # In batches of eight sources, as the other builds of the test command: most of the time goes to headers.
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DROMCOMPILER_WERROR=ON -DROMCOMPILER_FUZZ=ON -DROMCOMPILER_WITH_UI=OFF \
    -DBUILD_TESTING=OFF -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=8 >build-fuzz/configure.log
  if ! cmake --build build-fuzz -j"$(nproc)" >build-fuzz/build.log 2>&1; then
    tail -n 40 build-fuzz/build.log >&2
    echo "scripts/fuzz.sh: the fuzz build failed (full log: build-fuzz/build.log)" >&2
    exit 1
  fi
  flock -u 9
}

# Corpus and regression folders of a target that hold inputs (git keeps no empty folder).
inputs_of() {
  local dir
  for dir in "fuzz/corpus/$1" "fuzz/regressions/$1"; do
    if [ -d "$dir" ] && [ -n "$(ls -A "$dir")" ]; then
      echo "$dir"
    fi
  done
}

dict_of() {
  if [ -f "fuzz/$1.dict" ]; then
    echo "-dict=fuzz/$1.dict"
  fi
}

case "$mode" in
corpus)
  [ $# -eq 1 ] || usage
  build
  for target in "${targets[@]}"; do
    mapfile -t dirs < <(inputs_of "$target")
    if [ ${#dirs[@]} -eq 0 ]; then
      echo "fuzz $target: no saved inputs" >&2
      exit 1
    fi
    count=$(find "${dirs[@]}" -type f | wc -l)
    echo "fuzz $target: $count saved inputs"
    # -runs=0 executes every saved input once and mutates nothing.
    if ! "build-fuzz/bin/fuzz_$target" -runs=0 -timeout=60 -rss_limit_mb=4096 "${dirs[@]}" \
      >"build-fuzz/$target.log" 2>&1; then
      tail -n 40 "build-fuzz/$target.log" >&2
      echo "fuzz $target: an input crashed (full log: build-fuzz/$target.log)" >&2
      exit 1
    fi
  done
  ;;
run)
  [ $# -ge 2 ] || usage
  seconds=$2
  shift 2
  [ $# -eq 0 ] || targets=("$@")
  build
  status=0
  for target in "${targets[@]}"; do
    out="fuzz-out/$target"
    # An earlier run's crash inputs are kept already; only this run's finds count.
    rm -rf "$out/crashes"
    mkdir -p "$out/new" "$out/crashes" "fuzz/corpus/$target" "fuzz/regressions/$target"
    mapfile -t dirs < <(inputs_of "$target")
    echo "fuzz $target: $seconds s"
    # New inputs go to fuzz-out first; the saved corpus is only read.
    # shellcheck disable=SC2046
    if ! "build-fuzz/bin/fuzz_$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 \
      -artifact_prefix="$out/crashes/" -print_final_stats=1 $(dict_of "$target") "$out/new" "${dirs[@]}" \
      >"$out/fuzz.log" 2>&1; then
      status=1
      tail -n 40 "$out/fuzz.log" >&2
    fi
    # libFuzzer's own closing figures: executions, speed, coverage, features, corpus.
    grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb):|^#[0-9]+.*DONE' \
      "$out/fuzz.log" | tail -n 4 | sed "s/^/fuzz $target: /"
    for crash in "$out"/crashes/*; do
      [ -e "$crash" ] || continue
      cp "$crash" "fuzz/regressions/$target/"
      echo "fuzz $target: kept $(basename "$crash") as a regression input" >&2
      status=1
    done
    # Of the new finds, keep only those that reach code the saved corpus (whose named seeds stay) does not;
    # hit counts are not counted, which keeps each corpus to a few hundred inputs.
    "build-fuzz/bin/fuzz_$target" -merge=1 -use_counters=0 -timeout=60 -rss_limit_mb=4096 "fuzz/corpus/$target" "$out/new" \
      >"$out/merge.log" 2>&1
    rm -rf "$out/new"
    echo "fuzz $target: corpus now $(find "fuzz/corpus/$target" -type f | wc -l) inputs"
  done
  exit $status
  ;;
*)
  usage
  ;;
esac
