#!/bin/sh
# Maps drive A: of the build's Wine prefix to a 720 KB image that mkfs.fat
# made and mcopy filled, and runs the drive cases of the disk-dialog tests
# against it (Wine opens "\\.\A:" raw through the dosdevices entry "a::").
# usage: drive_a_dialogs.sh WINE-RUN WINEPREFIX TEST-EXE
set -eu
run="$1"
prefix="$2"
exe="$3"
work=$(mktemp -d)
trap 'rm -f "$prefix/dosdevices/a::" "$prefix/dosdevices/a:"; rm -rf "$work"' EXIT
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
winpath() { echo "Z:$1" | tr / '\\'; }
# Wine keeps variables that begin with "VK_" from its programs.
GTEST_FILTER='DriveATest.*' DRIVE_TEST_BACKING=$(winpath "$work/disk.img") DRIVE_TEST_FILES=$(winpath "$work") \
    "$run" "$exe"
