#!/bin/sh
# Maps drive A: of the build's Wine prefix to a 720 KB image that mkfs.fat
# made and mcopy filled, and runs the drive cases of the disk-dialog tests
# against it (Wine opens "\\.\A:" raw through the dosdevices entry "a::").
# With MODE "none" it runs the other cases, in a prefix without drive A:.
# Wine's mount manager reads the drives when its server starts, so the
# script waits for a server still running from an earlier test before it
# maps A:, and again after it unmapped it, so that no later test meets a
# stale drive A:.
# usage: drive_a_dialogs.sh WINE-RUN WINEPREFIX TEST-EXE [MODE]
set -eu
run="$1"
prefix="$2"
exe="$3"
mode="${4:-a}"
settle() { WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true; }
if [ "$mode" = none ]; then
    settle
    GTEST_FILTER='-DriveATest.*' "$run" "$exe"
    exit
fi
work=$(mktemp -d)
trap 'rm -f "$prefix/dosdevices/a::" "$prefix/dosdevices/a:"; settle; rm -rf "$work"' EXIT
settle
export MTOOLS_SKIP_CHECK=1
mkfs.fat -C -F 12 -f 2 -r 112 -s 2 -S 512 -M 0xF9 -h 0 -g 2/9 -n WORK "$work/disk.img" 720 >/dev/null
head -c 30000 /dev/urandom > "$work/A.BIN"
head -c 3 /dev/urandom > "$work/B.BIN"
mcopy -i "$work/disk.img" "$work/A.BIN" ::A.BIN
mcopy -i "$work/disk.img" "$work/B.BIN" ::B.BIN
mkdir "$work/a-root"
ln -sfn "$work/disk.img" "$prefix/dosdevices/a::"
ln -sfn "$work/a-root" "$prefix/dosdevices/a:"
WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKLM\Software\Wine\Drives' /v 'a:' /d floppy /f >/dev/null 2>&1
settle
winpath() { echo "Z:$1" | tr / '\\'; }
# Wine keeps variables that begin with "VK_" from its programs.
GTEST_FILTER='DriveATest.*' DRIVE_TEST_BACKING=$(winpath "$work/disk.img") DRIVE_TEST_FILES=$(winpath "$work") \
    "$run" "$exe"
