#!/usr/bin/env bash
# Builds kinex2.exe and the tests of every layer below the window with
# mingw-w64 (the windows-cross preset) and runs the tests under Wine, in a
# Wine prefix of the build's own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/install-deps.sh
# The tests run under Wine, in a prefix of the build's own.
export WINEDEBUG=-all WINEPREFIX="$here/build/windows-cross/wine"
# A new Wine prefix is set up by the first program run in it, and Wine's
# server restarts once that is done: a test started meanwhile loses its
# connection. The prefix is made first, and its server left to finish.
wine_dir=/usr/lib/wine
# Wine makes the prefix's folder but not the folders above it.
mkdir -p "$WINEPREFIX"
"$wine_dir/wine64" wineboot --init >/dev/null 2>&1 || true
"$wine_dir/wineserver" -w || true
# Wine's server also ends a few seconds after its last program, and a test
# program started as it ends loses its connection the same way: one server
# stays up for the whole build and test run.
"$wine_dir/wineserver" -p
# The first program also starts Wine's own services, which then live as long
# as the server and keep the output they were given: started here on
# nothing, not on the output ctest reads, which would then never end.
"$wine_dir/wine64" cmd /c exit </dev/null >/dev/null 2>&1 || true
trap '"$wine_dir/wineserver" -k 2>/dev/null || true' EXIT
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross -j"$(nproc)"
ctest --preset windows-cross -j"$(nproc)" --timeout 600
