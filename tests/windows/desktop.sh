#!/bin/sh
# Runs a test program on a virtual screen under a window manager, as a user
# meets the windows:  desktop.sh WIDTHxHEIGHT SCALE PROGRAM [ARGUMENTS...]
# The screen takes the first free display number; both are ended after.
set -eu
size=$1 scale=$2
shift 2
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
wm=
trap 'kill $wm $xvfb 2>/dev/null; rm -rf "$work"' EXIT
i=0
until [ -s "$work/display" ]; do
    i=$((i + 1))
    if [ $i -gt 100 ]; then
        echo "desktop.sh: no virtual screen" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
DISPLAY=:$(cat "$work/display")
export DISPLAY
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
sleep 1  # the window manager takes the screen
# A window left waiting for a click ends the run instead of hanging it.
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale timeout 300 "$@"
