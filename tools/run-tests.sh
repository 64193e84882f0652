#!/usr/bin/env bash
# Builds everything and runs every test: the native ones (plain and under the sanitizers), then the
# Windows ones under wine64 on an Xvfb display of their own, in a fresh Wine prefix under build/.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/build.sh || exit 1

status=0
for preset in native native-asan; do
  echo "== test $preset"
  ctest --preset "$preset" -j2 || status=1
done

source tools/wine/session.sh
trap wine_session_stop EXIT
echo "== test win64 (wine64, fresh prefix in build/wine-test)"
export WINE_SESSION_KIND=test VELTMOOR_ROOT="$root" VELTMOOR_WIN64="$root/build/win64"
wine_session_start "$root/build/wine-test" || exit 1
mkdir -p "$root/out/test"
ctest --preset win64 || status=1
exit $status
