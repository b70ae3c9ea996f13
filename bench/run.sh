#!/usr/bin/env bash
# Builds the default preset, makes the large benchmark files when they are
# missing, runs every benchmark and prints its ratios.
#   bench/run.sh [BENCHMARK...]      (default: all of them, in the order below)
# KINEX2_BENCH_PRESET=ci bench/run.sh uses an already built preset instead.
# To add a benchmark: write bench/NAME.cpp (built into build/default/bench/NAME)
# and a function run_NAME below, and add NAME to BENCHMARKS.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PRESET="${KINEX2_BENCH_PRESET:-default}"
BIN="$ROOT/build/$PRESET/bench"
KINEX2="$ROOT/build/$PRESET/bin/kinex2"
DATA="$ROOT/build/bench-data"
FLOAT_FILE="$DATA/bench_float.c3d"
INT_FILE="$DATA/bench_int.c3d"
ADC_FILE="$DATA/bench_adc.adc"
VAD_FILE="$DATA/bench_vad01.vad"
LONG_FILE="$DATA/bench_long.c3d"

BENCHMARKS=(open open_long export parallel vdo vad_c3d gui_open gui_plot gui_scene startup batch linear trc)

# Opening: in-process against cat, and the whole `kinex2 info` process less
# its start-up against cat (target: 5 x).
run_open() {
  "$BIN/bench_open" --kinex2 "$KINEX2" "$ROOT/samples/sample.c3d" \
    "$FLOAT_FILE" "$INT_FILE" "$ADC_FILE"
}

# Opening a recording of 100000 frames (more than the header's 16 bits
# count; the range comes from its TRIAL group) against cat (target: 5 x).
run_open_long() {
  "$BIN/bench_open" "$LONG_FILE"
}

# Exports with the program's formatter and with snprintf, in one run, and
# their ratio (target: at least 3 x); convert time (target: at most 1.2 s for
# the float file, a tenth of a typical printf-based converter's 12 s) and peak
# memory (target: at most file + 32 MB).
run_export() {
  local fast slow
  fast=$("$BIN/bench_export" "$KINEX2" "$FLOAT_FILE" "$INT_FILE")
  slow=$("$BIN/bench_export_printf" "$KINEX2" "$FLOAT_FILE" "$INT_FILE")
  echo "$fast"
  echo "snprintf formatting:"
  echo "$slow"
  paste -d'\n' <(echo "$fast") <(echo "$slow") | awk '
    { for (i = 1; i <= NF; i++) { if ($i == "dst" && $(i+1) == "export") d[NR % 2] = $(i+2);
                                  if ($i == "text" && $(i+1) == "export") t[NR % 2] = $(i+2); }
      if (NR % 2 == 0) printf "%s: dst export %.1f x faster than snprintf, text export %.1f x [target 3 x]\n", $1, d[0] / d[1], t[0] / t[1] }'
}

# The float file to DST and to text on 2 threads against 1 (target: 1.6 x)
# and against cat of the output (target: within 4 x); on one core every
# core against one thread (target: no slower).
run_parallel() {
  "$BIN/bench_parallel" "$KINEX2" "$FLOAT_FILE"
}

# A 90 MB VAD recording converted to C3D against `cp` of the result (target:
# 3 x), peak memory against the input (target: 1.15 x input + 20 MB).
run_vad_c3d() {
  "$BIN/bench_vad_c3d" "$KINEX2" "$VAD_FILE"
}

# The VDO flavour (two type-2 plates, every point and channel translated)
# against the general DST export of the same float file (target: 3 x).
run_vdo() {
  "$BIN/bench_vdo" "$FLOAT_FILE"
}

# Opening in the window (tree shown) against `kinex2 info` (target: 1.5 x).
run_gui_open() {
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
    "$BIN/bench_gui_open" "$KINEX2" "$FLOAT_FILE" "$INT_FILE"
}

# Milliseconds per redraw of the details pane's plot of a 600000-sample
# channel, offscreen (target: under 50 ms).
run_gui_plot() {
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BIN/bench_gui_plot"
}

# Drawing the 3-D view of 200 markers and 4 plates while playing and
# scrubbing a 100000-frame recording (target: under 8 ms a frame, and no
# slower than on a 1000-frame one).
run_gui_scene() {
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BIN/bench_gui_scene" "$DATA"
}

# Milliseconds per `kinex2 info` and `kinex2 convert` of the bundled sample: mostly process start-up
# (target: 4 ms, the window libraries never loaded).
run_startup() {
  "$BIN/bench_startup" "$KINEX2" "$ROOT/samples/sample.c3d"
}

# 200 small recordings in one `kinex2 batch` against 200 `kinex2 convert`
# runs of the same rows (target: the batch takes less time), and the batch
# with two rows at once against one (target: 1.8 x on 2 cores).
run_batch() {
  "$BIN/bench_batch" "$KINEX2" 200
}

# A sparse kinex2.ini (--ini) and a MAC header line of millions of tokens at
# 1, 3 and 10 MB: seconds per MB stay flat (time linear in the size).
run_linear() {
  "$BIN/bench_linear" "$KINEX2" "$ROOT/samples/sample.c3d" "$DATA/linear"
}

# TRC of the float file against the text export of its markers (target 1.2 x).
run_trc() {
  "$BIN/bench_trc" "$FLOAT_FILE"
}

build() {
  cd "$ROOT"
  cmake --preset "$PRESET" >/dev/null
  cmake --build --preset "$PRESET" -j2
}

make_data() {
  # Made again when the generator changed since.
  if [[ ! -f "$ADC_FILE" || ! -f "$VAD_FILE" || ! -f "$LONG_FILE" || "$BIN/make_bench_files" -nt "$FLOAT_FILE" ]]; then
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
