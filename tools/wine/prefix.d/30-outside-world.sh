# The outside world that the installer's steps talk to, as stand-ins of our own that record how they
# were started (tools/fakes/): a document viewer associated with ".doc", installed in a folder with
# blanks in its name, and the browser at the place where the installer looks for one first. Wine's
# own browser never ends by itself, and ".doc" has no program in a fresh prefix.
# The program-group server needs no stand-in here: Wine's desktop process answers "PROGMAN".

outside_fakes="$VELTMOOR_WIN64/tools/fakes"
for fake in docview.exe browser.exe; do
  if [ ! -f "$outside_fakes/$fake" ]; then
    echo "30-outside-world: $outside_fakes/$fake is missing (build the win64 preset first)" >&2
    return 1
  fi
done

outside_viewer_dir="$WINEPREFIX/drive_c/Program Files/Document Viewer"
mkdir -p "$outside_viewer_dir"
cp "$outside_fakes/docview.exe" "$outside_viewer_dir/docview.exe"
cp "$outside_fakes/browser.exe" "$WINEPREFIX/drive_c/Program Files/Internet Explorer/iexplore.exe"

outside_reg="$WINE_SESSION_DIR/outside-world.reg"
printf '%s\r\n' \
  'REGEDIT4' \
  '' \
  '[HKEY_CLASSES_ROOT\.doc]' \
  '@="StandIn.Document"' \
  '' \
  '[HKEY_CLASSES_ROOT\StandIn.Document\shell\open\command]' \
  '@="\"C:\\Program Files\\Document Viewer\\docview.exe\" \"%1\""' \
  '' >"$outside_reg"
wine_run "$WINE64" regedit /S "$(printf 'Z:%s' "$outside_reg" | tr / '\\')" >/dev/null
