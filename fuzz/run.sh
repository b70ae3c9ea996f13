#!/usr/bin/env bash
# Runs every fuzz target of the sanitize build, sharing the time given among
# them, seeded from the real recordings when ../shared/data is present and
# from small files made here for the formats without real samples (the VAD
# seed serves fuzz_vad and fuzz_vad_c3d, which writes VAD files as C3D).
#   fuzz/run.sh [TOTAL_SECONDS]      (default 60)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
total=${1:-60}
bin="$here/build/sanitize/fuzz"
corpus="$here/build/sanitize/fuzz-corpus"
data="$here/../shared/data"
artifacts="$here/build/sanitize/fuzz-artifacts"
mkdir -p "$artifacts"

targets=("$bin"/fuzz_*)
seconds=$(( total / ${#targets[@]} ))
(( seconds >= 5 )) || seconds=5

# Copies small real files (libFuzzer mutates whole inputs) of `pattern` from
# a folder of ../shared/data into corpus folder $1; big ones are cut short.
seed_real() {
  local dir=$1 folder=$2 f
  [ -d "$data/$folder" ] || return 0
  while IFS= read -r -d '' f; do
    head -c 65536 "$f" > "$dir/$(basename "$f")"
  done < <(find "$data/$folder" -type f -print0)
}

seed() {
  local name=$1 dir="$corpus/$1"
  mkdir -p "$dir"
  case $name in
    c3d*)
      seed_real "$dir" c3d
      cp -n "$here/samples/"*.c3d "$dir/" 2>/dev/null || true ;;
    codas) seed_real "$dir" codas ;;
    bts) seed_real "$dir" bts ;;
    vad*)
      # Two channels of three frames, 1000 Hz analog and 50 Hz video.
      printf '!VAD10\x32\x00\x00\x00\x00\x00\xe8\x03\x00\x00\x06\x00\x00\x00\x02\x00' > "$dir/tiny.vad"
      for c in 1 2; do
        printf '\x00\x00\x00\x00EMG%s\0\0\0\0\0\0\0\0Muscle %s' "$c" "$c" >> "$dir/tiny.vad"
        head -c 24 /dev/zero >> "$dir/tiny.vad"
      done
      printf '\x00\x08\x10\x08\xf0\x07\x00\x08\x01\x08\x02\x08' >> "$dir/tiny.vad"
      # The same channels over nine frames at 250 Hz video: two C3D frames of 4.
      { head -c 6 "$dir/tiny.vad"; printf '\xfa\x00\x00\x00\x00\x00\xe8\x03\x00\x00\x12\x00\x00\x00'
        tail -c +21 "$dir/tiny.vad" | head -c 98; printf '\x00\x08\x01\x08%.0s' {1..9}; } > "$dir/nine.vad" ;;
    adc)
      # Three VMS records of two channels, R = 4; and the same as RSX.
      printf '\x02\x00\x00\x00\x04\x00\x00\x00\x00\x00\x10\x00\x20\x00%.0s' 1 2 3 > "$dir/vms.adc"
      printf '\x02\x00\x00\x00\x04\x00\x01\x00\x00\x00\x10\x00\x20\x00\x00\x00%.0s' 1 2 3 > "$dir/rsx.adc" ;;
    mac)
      printf 'walk trial 0.05 100 1 2\r\n~ 4 EMG1\r\n~ 2 EMG2\r\n0o1020\r\n' > "$dir/tiny.ana"
      printf '%s\n' 'a b 0.03 100 1 2' '~ 8 L' '~ 1' '0000' '0o0o' 'o0o0' > "$dir/lf.ana" ;;
  esac
}

status=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  short=${name#fuzz_}
  seed "$short"
  echo "== $name for ${seconds}s"
  log="$artifacts/$name.log"
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "$corpus/$short" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name found a failing input (see $artifacts)"
    status=1
  fi
  grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$log" || true
done
exit $status
