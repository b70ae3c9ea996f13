#!/usr/bin/env bash
# Installs what is missing, builds Kinex2 and runs its main job on the bundled
# sample recording: prints what the file holds, then converts it to DST and to
# a text table beside the build.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target kinex2
bin=build/default/bin/kinex2
out=build/sample-output
mkdir -p "$out"
"$bin" info samples/sample.c3d
if "$bin" --help | grep -q '^  kinex2 convert'; then
  "$bin" convert samples/sample.c3d "$out/sample.dst" --overwrite
  "$bin" convert samples/sample.c3d "$out/sample.txt" --overwrite
  echo "Wrote $out/sample.dst ($(wc -l <"$out/sample.dst") lines) and $out/sample.txt ($(wc -l <"$out/sample.txt") lines)"
fi
