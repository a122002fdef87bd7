#!/usr/bin/env bash
# Builds VOLKARN and starts it on a sample image: under Wine on Linux, on the
# display you have or, without one, under Xvfb with a screenshot saved to
# build/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target vkdisk
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)" --target VOLKARN

sample=build/sample.dsk
if [ ! -f "$sample" ]; then
    build/native/src/vkdisk/vkdisk new "$sample" --format F9 --boot msdos
    printf 'Welcome to Volkarn.\r\n' > build/README.TXT
    build/native/src/vkdisk/vkdisk add "$sample" build/README.TXT --yes 2>/dev/null || true
fi

export WINEPREFIX="$PWD/build/run-wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
program=build/win64/src/win32/VOLKARN.EXE

if [ -n "${DISPLAY:-}" ]; then
    exec wine "$program" "$sample"
fi

shot=build/screenshot.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine "$0" "$1" &
    pid=$!
    sleep 8
    import -window root "$2"
    wineserver -k
    wait $pid 2>/dev/null || true
' "$program" "$sample" "$shot"
echo "run: no display here; a screenshot of the running program is in $shot"
