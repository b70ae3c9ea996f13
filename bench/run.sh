#!/usr/bin/env bash
# Builds the default preset, makes the large benchmark files when they are
# missing, runs every benchmark and prints its ratios.
#   bench/run.sh [BENCHMARK...]      (default: all of them, in the order below)
# To add a benchmark: write bench/NAME.cpp (built into build/default/bench/NAME)
# and a function run_NAME below, and add NAME to BENCHMARKS.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BIN="$ROOT/build/default/bench"
DATA="$ROOT/build/bench-data"
FLOAT_FILE="$DATA/bench_float.c3d"
INT_FILE="$DATA/bench_int.c3d"

BENCHMARKS=(open)

run_open() {
  "$BIN/bench_open" "$FLOAT_FILE" "$INT_FILE"
}

build() {
  cd "$ROOT"
  cmake --preset default >/dev/null
  cmake --build --preset default -j2
}

make_data() {
  if [[ ! -f "$FLOAT_FILE" || ! -f "$INT_FILE" ]]; then
    echo "== making benchmark files in $DATA"
    "$BIN/make_bench_files" "$DATA"
  fi
}

main() {
  build
  make_data
  local selected=("$@")
  if [[ ${#selected[@]} -eq 0 ]]; then selected=("${BENCHMARKS[@]}"); fi
  local status=0
  for name in "${selected[@]}"; do
    echo "== $name"
    "run_$name" || status=1
  done
  return $status
}

main "$@"
