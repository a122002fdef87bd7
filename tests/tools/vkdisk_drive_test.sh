#!/usr/bin/env bash
# vkdisk read and write with image files and device nodes standing in for
# floppy disks: copies come out byte for byte, sectors that cannot be read
# end up zero and listed in the .der file, devices that refuse to be
# formatted or written are reported, and mtools and fsck.fat accept the copies.
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$work" || exit 1

# A 720 KB disk made by the outside tools, with files on it.
mkfs.fat -C -F 12 -f 2 -r 112 -s 2 -S 512 -M 0xF9 -h 0 -g 2/9 disk.img 720 >/dev/null
head -c 30000 /dev/urandom > a.bin
head -c 1 /dev/urandom > b.bin
mcopy -i disk.img a.bin ::A.BIN
mcopy -i disk.img b.bin ::B.BIN

# --- read -----------------------------------------------------------------------
expect_rc 0 "read" "$vkdisk" read disk.img copy.dsk
same_file disk.img copy.dsk "read copies the disk"
count; [ ! -e copy.der ] || fail "a clean read leaves no .der file"
mkdir out
expect_rc 0 "get from the copy" "$vkdisk" get copy.dsk A.BIN B.BIN -d out
same_file a.bin out/A.BIN "A.BIN through read and get"
same_file b.bin out/B.BIN "B.BIN through read and get"

expect_rc 1 "read onto an existing image" "$vkdisk" read disk.img copy.dsk
expect_rc 0 "read --force --format F8" "$vkdisk" read disk.img half.dsk --format F8
count; [ "$(stat -c %s half.dsk)" -eq 368640 ] || fail "--format F8 reads 720 sectors: $(stat -c %s half.dsk)"
# The chosen row's geometry places its FAT copies elsewhere; the data sectors are as read.
same_file <(tail -c +$((5 * 512 + 1)) half.dsk) <(head -c 368640 disk.img | tail -c +$((5 * 512 + 1))) \
    "--format reads the first sectors"
expect_rc 2 "read --format 12" "$vkdisk" read disk.img x.dsk --format 12

# A disk 40 sectors shorter than its boot sector says: those sectors fail.
head -c $((1400 * 512)) disk.img > short.img
expect_rc 1 "read without terminal aborts at the first bad sector" "$vkdisk" read short.img abort.dsk
stderr_has "Disk sector 1400 cannot be read!" "the failing sector is named"
count; [ ! -e abort.dsk ] || fail "an aborted read writes no image"
expect_rc 0 "read --ignore-errors" "$vkdisk" read short.img bad.dsk --ignore-errors
stderr_has "40 sector(s) could not be read" "the bad sectors are counted"
same_file <(head -c $((1400 * 512)) bad.dsk) short.img "readable sectors are copied"
same_file <(tail -c $((40 * 512)) bad.dsk) <(head -c $((40 * 512)) /dev/zero) "unreadable sectors are zero"
# The .der file: header, then bits 1400..1439 (bytes 195..199 of the file) set.
count; [ "$(head -c 16 bad.der)" = "DiskImage errors" ] || fail ".der header"
count; [ "$(stat -c %s bad.der)" -eq 200 ] || fail ".der size $(stat -c %s bad.der)"
count; [ "$(od -An -tx1 -j 195 bad.der | tr -d ' \n')" = "ffffffffff" ] || fail ".der bits: $(od -An -tx1 -j 190 bad.der)"
count; [ "$(od -An -v -tx1 -j 20 -N 175 bad.der | tr -d ' \n0')" = "" ] || fail ".der marks readable sectors"
count; "$vkdisk" info bad.dsk 2>/dev/null | grep -q "Bad sectors: *1400, 1401," || fail "info shows the bad sectors"
expect_rc 1 "read of a missing device" "$vkdisk" read nothing.img y.dsk
stderr_has "nothing.img" "the missing device is named"

# --- write ----------------------------------------------------------------------
head -c 737280 /dev/urandom > target.img
expect_rc 0 "write" "$vkdisk" write copy.dsk target.img
same_file copy.dsk target.img "write copies the image"
head -c 737280 /dev/urandom > target.img
expect_rc 0 "write --format-disk --fast" "$vkdisk" write copy.dsk target.img --format-disk --fast
same_file copy.dsk target.img "formatted and fast write copies the image"
check "fsck.fat finds the written disk clean" fsck_clean target.img
rm -f m.out; mcopy -n -i target.img ::A.BIN m.out 2>/dev/null
same_file a.bin m.out "mtools reads A.BIN from the written disk"

# A write warns about the bad sectors the image's .der file lists.
: > empty.img
expect_rc 0 "write an image with bad sectors" "$vkdisk" write bad.dsk empty.img
stderr_has "contains informations about media-errors" "media-error warning"
same_file bad.dsk empty.img "an empty file grows to the image"

# A disk another program holds for writing is refused, and left alone.
cp copy.dsk held.img
flock -x held.img -c 'sleep 3' &
sleep 0.5
expect_rc 1 "write to a locked device" "$vkdisk" write half.dsk held.img
stderr_has "being used by another process" "the lock is reported"
same_file copy.dsk held.img "a locked device is not written"
wait

# Devices that cannot be formatted or written.
expect_rc 1 "format on a character device" "$vkdisk" write copy.dsk /dev/null --format-disk
stderr_has "/dev/null" "the device is named"
stderr_has "The request is not supported." "formatting is not supported there"
expect_rc 1 "write to a full device, no terminal" "$vkdisk" write copy.dsk /dev/full
stderr_has "Disk sector 0 cannot be written!" "the failing sector is named"
stderr_has "stopped" "an Abort is reported"
expect_rc 1 "write to a full device, ignoring" "$vkdisk" write half.dsk /dev/full --ignore-errors --fast
stderr_has "720 sector(s) were not written" "every skipped sector is counted"

summary vkdisk_drive
