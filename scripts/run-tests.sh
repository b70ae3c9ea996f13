#!/usr/bin/env bash
# Installs what is missing, builds Kinex2 with warnings as errors and runs
# every test. Real recordings are read from ../shared/data when it is present;
# the tests that need them are skipped otherwise.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/install-deps.sh
cmake --preset ci >/dev/null
cmake --build --preset ci -j"$(nproc)"
ctest --preset ci -j"$(nproc)" --timeout 600
