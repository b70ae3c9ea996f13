#!/usr/bin/env bash
# Runs every fuzz target of the sanitize build for a bounded time, seeded from
# the real recordings when ../shared/data is present.
#   fuzz/run.sh [SECONDS_PER_TARGET]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
bin="$here/build/sanitize/fuzz"
corpus="$here/build/sanitize/fuzz-corpus"
seeds=()
if [ -d "$here/../shared/data/c3d" ]; then
  # Small files only: libFuzzer mutates whole inputs.
  while IFS= read -r -d '' f; do seeds+=("$f"); done < <(find "$here/../shared/data/c3d" -type f -size -400k -print0)
fi
artifacts="$here/build/sanitize/fuzz-artifacts"
mkdir -p "$artifacts"
status=0
for target in "$bin"/fuzz_*; do
  name=$(basename "$target")
  # Every target reads C3D files: the same seeds serve them all.
  mkdir -p "$corpus/${name#fuzz_}"
  cp -n "${seeds[@]}" "$here/samples/"*.c3d "$corpus/${name#fuzz_}/" 2>/dev/null || true
  echo "== $name for ${seconds}s"
  log="$artifacts/$name.log"
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "$corpus/${name#fuzz_}" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name found a failing input (see $artifacts)"
    status=1
  fi
  grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$log" || true
done
exit $status
