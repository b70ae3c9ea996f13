#!/usr/bin/env bash
# Installs the Debian packages Kinex2 needs to build, test and fuzz.
# This is the one place that lists them; packages already present are skipped.
set -euo pipefail

packages=(
  build-essential   # g++, make
  cmake
  ninja-build
  pkg-config
  libgtest-dev      # GoogleTest, built from source by CMake's find module
  googletest
  qt6-base-dev      # Qt 6 Widgets for the desktop program and the settings store
  qt6-svg-dev       # Qt SVG: plots and the 3-D view exported as SVG pictures
  clang             # libFuzzer targets and the sanitizer build
  libclang-rt-14-dev
  g++-mingw-w64-x86-64  # the Windows build (windows-cross preset)
  wine64                # runs the Windows build's tests
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
