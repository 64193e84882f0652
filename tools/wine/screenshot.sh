#!/bin/sh
# Saves the whole X display as a PNG: screenshot.sh OUT.png
# Started by the wizard driver from inside Wine, which cannot wait for a Linux process: the PNG
# appears under its name only when it is complete.
set -e
PATH=/usr/bin:/bin
xwd -root -silent | convert xwd:- "$1.part.png"
mv "$1.part.png" "$1"
