#!/bin/sh
# Maps drive A: of the build's Wine prefix to an image file and runs the NT
# drive tests against it. Wine 8 opens "\\.\A:" raw through the dosdevices
# entry "a::"; the "a:" folder and the "floppy" drive type make A: a
# removable drive to GetDriveTypeA as well.
# usage: nt_drive_wine_test.sh WINE-RUN WINEPREFIX TEST-EXE
set -eu
run="$1"
prefix="$2"
exe="$3"
work=$(mktemp -d)
# Wine's mount manager learns of drives when its server starts: stop the
# server after unmapping A:, so that the next test sees the prefix as it was.
trap 'rm -f "$prefix/dosdevices/a::" "$prefix/dosdevices/a:"; WINEPREFIX="$prefix" wineserver -k 2>/dev/null; WINEPREFIX="$prefix" wineserver -w 2>/dev/null; rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
mkfs.fat -C -F 12 -f 2 -r 112 -s 2 -S 512 -M 0xF9 -h 0 -g 2/9 "$work/disk.img" 720 >/dev/null
head -c 30000 /dev/urandom > "$work/A.BIN"
head -c 3 /dev/urandom > "$work/B.BIN"
mcopy -i "$work/disk.img" "$work/A.BIN" ::A.BIN
mcopy -i "$work/disk.img" "$work/B.BIN" ::B.BIN
cp "$work/disk.img" "$work/drive-a.img"
mkdir "$work/a-root"
ln -sfn "$work/drive-a.img" "$prefix/dosdevices/a::"
ln -sfn "$work/a-root" "$prefix/dosdevices/a:"
WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKLM\Software\Wine\Drives' /v 'a:' /d floppy /f >/dev/null 2>&1
winpath() { echo "Z:$1" | tr / '\\'; }
# Wine keeps variables that begin with "VK_" (Vulkan's) from its programs.
DRIVE_TEST_BACKING=$(winpath "$work/drive-a.img") DRIVE_TEST_FILES=$(winpath "$work") "$run" "$exe"
