#!/usr/bin/env bash
# Builds VOLKARN and the release vkdisk (build/release/src/vkdisk/vkdisk),
# and starts VOLKARN on a sample image: under Wine on Linux, on the display
# you have or, without one, under Xvfb with a screenshot saved to
# build/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)" --target VOLKARN

sample=build/sample.dsk
if [ ! -f "$sample" ]; then
    vkdisk=build/release/src/vkdisk/vkdisk
    files=build/sample-files
    mkdir -p "$files"
    printf 'Welcome to Volkarn.\r\n' > "$files/README.TXT"
    head -c 12800 /dev/urandom > "$files/GAME.BIN"
    head -c 2310 /dev/urandom > "$files/AUTOEXEC.BAS"
    head -c 640 /dev/urandom > "$files/LOADER.COM"
    mkdir -p "$files/TOOLS"
    "$vkdisk" new "$sample" --format F9 --boot msdos
    "$vkdisk" add "$sample" "$files"/README.TXT "$files"/AUTOEXEC.BAS "$files"/GAME.BIN "$files"/LOADER.COM "$files"/TOOLS
    "$vkdisk" attr "$sample" README.TXT +r
    "$vkdisk" label "$sample" SAMPLE
fi

export WINEPREFIX="$PWD/build/run-wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
program=build/win64/src/win32/VOLKARN.EXE

# A prefix of its own, made before the program starts so that no set-up
# window stands in front of it.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1
    wineserver --wait
fi

if [ -n "${DISPLAY:-}" ]; then
    exec wine "$program" "$sample"
fi

shot=${VOLKARN_SCREENSHOT:-build/screenshot.png}
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine "$0" "$1" &
    pid=$!
    # Wait for the main window, then let it draw its list.
    window=root
    for i in $(seq 60); do
        found=$(xdotool search --name " - Volkarn" 2>/dev/null | head -n 1)
        [ -n "$found" ] && { window=$found; break; }
        sleep 1
    done
    sleep 2
    import -window "$window" "$2"
    wineserver -k
    wait $pid 2>/dev/null || true
' "$program" "$sample" "$shot"
echo "run: no display here; a screenshot of the running program is in $shot"
