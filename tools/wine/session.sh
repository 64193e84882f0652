# A Wine session of our own, sourced by the test and demo scripts:
#   wine_session_start DIR [--display]   a fresh prefix in DIR/prefix; an Xvfb display of our own
#                                        unless --display asks for the user's $DISPLAY
#   wine_session_stop                    stops what the session started, by process id
# After booting, every script in tools/wine/prefix.d/ is sourced in name order to prepare the prefix
# (stand-in programs, file associations, drives). They see WINE_SESSION_KIND ("test" or "demo"),
# VELTMOOR_ROOT (the source tree) and VELTMOOR_WIN64 (the build/win64 folder).
# Nothing is written outside DIR but Xvfb's socket: HOME points into DIR, so Wine never touches the
# user's ~/.wine, ~/.local or ~/.config.

WINE64=${WINE64:-/usr/lib/wine/wine64}
export WINE64

wine_session_start() {
  local dir=$1 mode=${2:-}
  mkdir -p "$dir"
  WINE_SESSION_DIR=$(cd "$dir" && pwd)
  export WINEPREFIX="$WINE_SESSION_DIR/prefix"
  export HOME="$WINE_SESSION_DIR/home"
  export TMPDIR="$WINE_SESSION_DIR/tmp"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  XVFB_PID=
  if [ "$mode" != "--display" ]; then
    local fdfile="$WINE_SESSION_DIR/display"
    rm -f "$fdfile"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >"$WINE_SESSION_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -s "$fdfile" ] && break
      sleep 0.1
    done
    [ -s "$fdfile" ] || { echo "wine session: Xvfb did not start (see $WINE_SESSION_DIR/xvfb.log)" >&2; return 1; }
    export DISPLAY=":$(head -n 1 "$fdfile")"
  fi
  rm -rf "$WINEPREFIX" "$HOME" "$TMPDIR"
  mkdir -p "$HOME" "$TMPDIR"
  "$WINE64" wineboot -i >"$WINE_SESSION_DIR/wineboot.log" 2>&1 </dev/null ||
    { echo "wine session: wineboot failed (see $WINE_SESSION_DIR/wineboot.log)" >&2; return 1; }
  wineserver -w
  if [ "$mode" != "--display" ]; then
    # Without a window manager on Xvfb, Wine waits two seconds for every window it hides. In a
    # virtual desktop Wine places and hides its windows itself, as Windows does: no such waits.
    "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
    "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
  fi
  local script
  for script in "$(dirname "${BASH_SOURCE[0]}")"/prefix.d/*.sh; do
    [ -e "$script" ] || continue
    # shellcheck source=/dev/null
    . "$script" || { echo "wine session: $script failed" >&2; return 1; }
  done
  # One server for the whole session, so that each program starts in a tenth of a second.
  wineserver -w
  wineserver -p || { echo "wine session: wineserver did not start" >&2; return 1; }
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}

# Runs a Windows program of the session, its output through a file (see wine-exec).
wine_run() {
  "$(dirname "${BASH_SOURCE[0]}")/wine-exec" "$@"
}
