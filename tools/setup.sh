#!/usr/bin/env bash
# Installs every Debian package that the build, the tests, the demo and the benchmark need.
# Idempotent: packages already present are not touched. Works as root or through sudo.
#   tools/setup.sh          install what is missing
#   tools/setup.sh --check  exit 0 when nothing is missing, 1 otherwise (installs nothing)
set -euo pipefail

PACKAGES=(
  # the build
  cmake ninja-build make g++ python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  googletest zlib1g-dev
  # the sanitizers and the fuzzer
  clang libclang-rt-14-dev
  # the Windows test bed
  wine wine64 xvfb x11-apps x11-utils imagemagick xdotool
  # the benchmark's peer and its plot
  nsis gnuplot-nox
)

missing=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ "${1:-}" = "--check" ]; then
  [ ${#missing[@]} -eq 0 ] && exit 0
  echo "missing packages: ${missing[*]}" >&2
  exit 1
fi

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  run=()
elif command -v sudo >/dev/null 2>&1; then
  run=(sudo)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq
"${run[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
