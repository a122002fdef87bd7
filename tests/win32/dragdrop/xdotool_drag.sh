#!/bin/bash
# Drives a real mouse drag for the test XdotoolDragsTwoFilesOntoAFolderWindow:
# runs it under Wine, waits for the handshake file with the list item's and
# the folder window's screen points, then presses on the item, moves to the
# folder window in steps and lets go. The test's own verdict is the result.
set -u
runner=$1
program=$2
work=$(mktemp -d)
handshake=$work/points
trap 'rm -rf "$work"' EXIT
export VOLKARN_DRAG_HANDSHAKE="Z:${handshake//\//\\}"

"$runner" "$program" --gtest_filter='*XdotoolDragsTwoFilesOntoAFolderWindow*' &
pid=$!
for _ in $(seq 1 900); do
    [ -f "$handshake" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if [ -f "$handshake" ]; then
    # The test writes the line in text mode, CR and all.
    read -r fx fy tx ty < <(tr -d '\r' < "$handshake")
    echo "xdotool: drag from $fx,$fy to $tx,$ty"
    xdotool mousemove "$fx" "$fy"
    sleep 0.5
    xdotool mousedown 1
    sleep 0.3
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $((fx + (tx - fx) * step / 10)) $((fy + (ty - fy) * step / 10))
        sleep 0.15
    done
    sleep 0.5
    xdotool mouseup 1
else
    echo "xdotool: the test never got ready" >&2
fi
wait "$pid"
