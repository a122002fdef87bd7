#!/usr/bin/env bash
# Takes the pictures in docs/screenshots: each property page and dialog of
# the sheets, shown by the sheets_gallery tool under Wine on a virtual X
# display and captured by its window id.
# Usage: scripts/sheet_screenshots.sh [build-dir]   (a Windows build with the
# Wine prefix set up, e.g. by its ctest run)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win64}
gallery=$build/tests/win32/sheets/sheets_gallery.exe
out=docs/screenshots
[ -x "$build/wine-run.sh" ] || { echo "no $build/wine-run.sh: configure a Windows build first" >&2; exit 1; }
cmake --build "$build" --target sheets_gallery >/dev/null
mkdir -p "$out"

if [ -z "${VK_SCREENSHOT_INNER:-}" ]; then
    VK_SCREENSHOT_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi

# name of the shot, gallery argument, window caption
shots=(
    "image-volume volume Disk-image properties"
    "image-errors errors Disk-image properties"
    "image-media media Disk-image properties"
    "add-sector addsector Add sector"
    "file-properties file Properties for DATA.BIN"
    "options-name-strength strength Options"
    "options-default-format format Options"
    "options-copy copy Options"
    "details details Details"
    "view-list view-list Untitled - Volkarn"
    "view-icon view-icon Untitled - Volkarn"
    "view-small-icon view-small-icon Untitled - Volkarn"
    "view-report view-report Untitled - Volkarn"
    "folder folder Untitled.GAMES.SHOOT - Volkarn"
    "extract-folder extract-folder Browse for Folder"
    "delete-yes-to-all yes-to-all Volkarn"
    "replace-yes-to-all replace-yes-to-all Volkarn"
    "add-self add-self Volkarn"
    "save-as save-as Save As"
    "folder-properties folder-properties Properties for GAMES"
    "check-disk check-disk Check disk"
    "undelete undelete Undelete"
)
for shot in "${shots[@]}"; do
    read -r name arg caption <<<"$shot"
    "$build/wine-run.sh" "$gallery" "$arg" &
    pid=$!
    window=""
    for _ in $(seq 1 60); do
        window=$(xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.25
    done
    if [ -z "$window" ]; then
        echo "$name: no window \"$caption\"" >&2
        kill "$pid" 2>/dev/null || true
        exit 1
    fi
    sleep 1.5  # let the page finish painting
    import -window "$window" "$out/$name.png"
    echo "$out/$name.png"
    wait "$pid" || true
done
