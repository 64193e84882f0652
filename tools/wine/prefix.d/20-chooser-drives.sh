# An off-line drive for the folder chooser's tests: Y: is a CD-ROM drive whose "disc" is a plain file.
# A drive linked to a missing folder will not do: Wine answers "file not found" in its root, as a
# ready drive does; below a file that is no folder it answers "path not found", as an empty drive does.
[ "${WINE_SESSION_KIND:-}" = test ] || return 0
: >"$WINEPREFIX/drive-y-no-disc"
ln -sfn "$WINEPREFIX/drive-y-no-disc" "$WINEPREFIX/dosdevices/y:"
# The mount manager reads the drive types when it starts, that is with the session's own server.
wine_run reg add 'HKLM\Software\Wine\Drives' /v y: /d cdrom /f >/dev/null
