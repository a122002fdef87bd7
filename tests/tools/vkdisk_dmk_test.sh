#!/usr/bin/env bash
# DMK track images written by make_dmk.py from a disk mkfs.fat and mtools
# made: vkdisk reads them as that disk byte for byte (through `write` onto a
# plain image file), also from inside a gzip file, a missing sector and a failing data CRC end up zero and
# in the bad-sector list, and a change to the track image is refused with
# the file left as it was.
set -u
vkdisk="$1"
make_dmk="$(dirname "${BASH_SOURCE[0]}")/make_dmk.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$work" || exit 1

mkfs.fat -C -F 12 -f 2 -r 112 -s 2 -S 512 -M 0xF9 -h 0 -g 2/9 disk.img 720 >/dev/null
head -c 30000 /dev/urandom > a.bin
mcopy -i disk.img a.bin ::A.BIN

# The decoded image written onto a plain file of the disk's size.
decoded() {  # decoded DMK OUT
    head -c 737280 /dev/urandom > "$2"
    expect_rc 0 "write $1" "$vkdisk" write "$1" "$2"
}
# The disk with sector N zeroed, as a disk read that failed on it gives it.
zeroed() {  # zeroed N OUT
    cp disk.img "$2"
    dd if=/dev/zero of="$2" bs=512 seek="$1" count=1 conv=notrunc status=none
}

# Sound: two unformatted tracks past the disk's end change nothing.
python3 "$make_dmk" disk.img good.dmk --extra-tracks 2
decoded good.dmk good.img
same_file disk.img good.img "the DMK reads as the disk"
mkdir out
expect_rc 0 "get from the DMK" "$vkdisk" get good.dmk A.BIN -d out
same_file a.bin out/A.BIN "A.BIN through the DMK"
info=$("$vkdisk" info good.dmk 2>/dev/null)
check "a sound DMK has no bad sectors" has "$info" "Bad sectors: +none"

# Cylinder 5, head 1, record 3 is sector (5*2+1)*9+2 = 101; 10/0/7 is 186.
python3 "$make_dmk" disk.img missing.dmk --drop 5/1/3
python3 "$make_dmk" disk.img baddata.dmk --bad-data 10/0/7
for case in "missing 101" "baddata 186"; do
    set -- $case
    decoded "$1.dmk" "$1.img"
    stderr_has "1 sectors of this DMK track image are missing or fail their CRC" "$1: the bad sector is told"
    zeroed "$2" "$1.want"
    same_file "$1.want" "$1.img" "$1: the other sectors as on the disk, the bad one zero"
    info=$("$vkdisk" info "$1.dmk" 2>/dev/null)
    check "$1: info lists sector $2 alone" has "$info" "Bad sectors: +$2\$"
done

# A change to the DMK is refused, and neither it nor a .der beside it is written.
cp missing.dmk before.dmk
expect_rc 1 "add to a DMK" "$vkdisk" add missing.dmk a.bin
stderr_has "is a DMK track image: Volkarn reads its sectors, but does not write" "the track image is named"
stderr_has "missing.dmk cannot be written; nothing was changed" "the change is refused"
expect_rc 1 "rm on a DMK" "$vkdisk" rm missing.dmk A.BIN
same_file before.dmk missing.dmk "the refused changes left the DMK as it was"
check "no .der beside the DMK" test ! -e missing.der

# A DMK inside a gzip file reads the same, and stays as it was.
gzip -k missing.dmk
cp missing.dmk.gz before.dmk.gz
decoded missing.dmk.gz gz.img
same_file missing.want gz.img "the gzipped DMK reads as the bare one"
expect_rc 1 "add to a gzipped DMK" "$vkdisk" add missing.dmk.gz a.bin
same_file before.dmk.gz missing.dmk.gz "the refused change left the gzipped DMK as it was"

# A DMK cut inside its last cylinder: the whole cylinders before it are read.
head -c $((16 + 150 * 0x1900 + 100)) good.dmk > cut.dmk
info=$("$vkdisk" info cut.dmk 2>"$work/stderr.log")
stderr_has "ends before its last track: only the first 75 cylinders" "the cut is told"
check "a cut DMK reads its 1350 sectors" has "$info" "1350 sectors after"

summary vkdisk_dmk
