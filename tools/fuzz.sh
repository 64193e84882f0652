#!/usr/bin/env bash
# Runs each fuzz target of the sanitizer build for a while (FUZZ_SECONDS, default 300), starting
# from the committed seeds. New inputs go to build/native-asan/fuzz/<target>/, findings to out/fuzz/.
#   tools/fuzz.sh [TARGET ...]      targets: zip_reader inflate
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${FUZZ_SECONDS:-300}

tools/build.sh native-asan

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(zip_reader inflate)
status=0
for kind in "${targets[@]}"; do
  binary="$root/build/native-asan/tests/extract/fuzz_$kind"
  corpus="$root/build/native-asan/fuzz/$kind"
  findings="$root/out/fuzz/$kind"
  mkdir -p "$corpus" "$findings"
  echo "== fuzz $kind for ${seconds}s"
  # A size that lets the end-record search span several blocks and a comment.
  "$binary" -max_total_time="$seconds" -max_len=20000 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$root/tests/extract/corpus/$kind" \
    >"$findings/log.txt" 2>&1 || status=1
  grep -E "^#[0-9]+.*DONE|^stat::number_of_executed_units|^Done|ERROR|SUMMARY" "$findings/log.txt" || true
done
exit $status
