#!/usr/bin/env bash
# Configures and builds every preset: win32 (the shipping installer), win64 (the test build with the
# Windows tests), native and native-asan (the window-free code and its tests).
#   tools/build.sh [PRESET ...]
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh --check >/dev/null 2>&1 || tools/setup.sh

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(win32 win64 native native-asan)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
