#!/usr/bin/env bash
# The main job: builds the installer and runs it in a fresh Wine prefix under build/demo.
# With a display, the installer opens there for a person to use. Without one, an Xvfb display of our
# own is started and the wizard driver clicks through the wizard, saving a screenshot of every page
# to out/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/build.sh win32 win64

source tools/wine/session.sh
export WINE_SESSION_KIND=demo VELTMOOR_ROOT="$root" VELTMOOR_WIN64="$root/build/win64"
trap wine_session_stop EXIT

installer_win=$(printf 'Z:%s' "$root/dist/VeltmoorSetup-x64.exe" | tr / '\\')
if [ -n "${DISPLAY:-}" ]; then
  echo "Running the installer on your display $DISPLAY (Wine prefix: build/demo/prefix)"
  wine_session_start "$root/build/demo" --display
  "$WINE64" "$root/dist/VeltmoorSetup-x64.exe" </dev/null >"$root/build/demo/installer.log" 2>&1
  echo "The installer has ended."
else
  out="$root/out/demo"
  rm -rf "$out"
  mkdir -p "$out"
  echo "No display: running headless on an Xvfb display of our own (Wine prefix: build/demo/prefix)"
  wine_session_start "$root/build/demo"
  export VELTMOOR_INSTALLER="$installer_win" SAMPLE_PROGRAM_QUIET=1
  export VELTMOOR_SCREENSHOT_TOOL="$root/tools/wine/screenshot.sh"
  wine_run "$root/build/win64/tools/wizard-driver.exe" demo "$out"
  echo "Screenshots: out/demo/"
fi
