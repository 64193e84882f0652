#!/usr/bin/env bash
# Benchmarks, part by part; each part prints its own lines. A new comparison is a new part_NAME
# function and a name in PARTS.
#   tools/bench.sh [PART ...]        parts: decoder crc installers   (BENCH_VERBOSE=1: one line per stream)
# Everything printed also goes to out/bench/bench.txt; the installer comparison writes
# out/bench/installers.md (and a plot, out/bench/unpack-times.png).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bench_dir="$root/build/bench"
native="$root/build/native"

PARTS=(decoder crc installers)
BENCH_RUNS=${BENCH_RUNS:-7}

prepare() {
  tools/build.sh native >/dev/null
  # The payload as the installer carries it when a Windows build exists, else the native one.
  payload=
  for candidate in build/win32/product/payload.zip build/win64/product/payload.zip; do
    [ -f "$candidate" ] && { payload="$root/$candidate"; break; }
  done
  if [ -z "$payload" ]; then
    cmake --build "$native" --target native_payload >/dev/null
    payload="$native/tests/extract/payload/payload.zip"
  fi
  echo "payload: ${payload#$root/}; corpus: build/bench/corpus (made once)"
  python3 bench/make_corpus.py "$payload" "$root" "$native" "$bench_dir"
}

# The decoder against zlib's inflate, alone and on the whole entry path, on the payload's deflated
# entries and on the larger corpus.
part_decoder() {
  echo "== decoder: throughput of the output, ratio = ours / zlib (1.00 is zlib's speed)"
  for program in bench_decoder_alone bench_decoder_entry; do
    "$native/bench/$program" payload "$bench_dir"/payload/*.deflate
    "$native/bench/$program" corpus "$bench_dir"/corpus/*.deflate
  done
}

part_crc() {
  echo "== CRC-32: ratio = ours / zlib"
  "$native/bench/bench_crc" 64
}

# Ours against an NSIS installer of the same files: sizes, unpack time under Wine, damage.
part_installers() {
  echo "== installers: ours against NSIS (makensis, zlib), ratio = ours / NSIS"
  tools/build.sh win32 win64 >/dev/null
  (
    source tools/wine/session.sh
    trap wine_session_stop EXIT
    export WINE_SESSION_KIND=test VELTMOOR_ROOT="$root" VELTMOOR_WIN64="$root/build/win64"
    wine_session_start "$bench_dir/wine" >/dev/null
    python3 bench/compare_installers.py "$root" "$BENCH_RUNS"
  )
}

mkdir -p "$root/out/bench"
exec > >(tee "$root/out/bench/bench.txt") 2>&1

parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=("${PARTS[@]}")
prepare
for part in "${parts[@]}"; do
  "part_$part"
done
