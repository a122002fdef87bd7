#!/usr/bin/env bash
# vkdisk new --custom: every layout it accepts is FAT12 that fsck.fat finds
# clean and mtools fills; every layout the dialog refuses is refused with the
# dialog's message and no file.
# Usage: vkdisk_custom_test.sh VKDISK
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

img="$work/c.dsk"
head -c 70000 /dev/urandom >"$work/data"
printf 'hello\n' >"$work/notes"

# The dialog's defaults: 16384 sectors of which 2043 clusters of 4 KB hold files.
"$vkdisk" new "$img" --custom --boot msdos
check "defaults: new exits 0" test $? -eq 0
check "defaults: fsck.fat finds them clean" fsck_clean "$img"
check "defaults: mdir sees 2043 free clusters of 4 KB" test "$(free_bytes "$img")" = $((2043 * 4096))
check "defaults: the image has 16384 sectors" test "$(stat -c %s "$img")" -eq $((16384 * 512))

for layout in "sectors=2880,cluster=1,fat=9,root=224,media=F0" \
              "sectors=1440,cluster=2,fat=3,root=112,media=F9,heads=2,track=9" \
              "sectors=65535,cluster=32,fat=12" \
              "sectors=8192,cluster=2,fat=12,fats=1,reserved=4,root=512" \
              "sectors=4123,cluster=1,fat=12,root=224"; do
    rm -f "$img"
    "$vkdisk" new "$img" --custom "$layout" --boot msdos
    check "$layout: new exits 0" test $? -eq 0
    check "$layout: fsck.fat finds it clean" fsck_clean "$img"
    mcopy -i "$img" "$work/data" ::DATA.BIN
    check "$layout: mcopy fills it" test $? -eq 0
    "$vkdisk" add "$img" "$work/notes" 2>/dev/null
    check "$layout: vkdisk add works" test $? -eq 0
    check "$layout: fsck.fat still finds it clean" fsck_clean "$img"
    mcopy -n -i "$img" ::DATA.BIN "$work/back" && cmp -s "$work/back" "$work/data"
    check "$layout: mtools reads the file back" test $? -eq 0
    rm -f "$work/back"
done

# What the dialog refuses: the same message, exit 1, no file, and an
# existing file left alone even with --force.
refused() {  # refused FIELDS MESSAGE
    rm -f "$img"
    local err
    err=$("$vkdisk" new "$img" --custom "$1" 2>&1)
    check "$1: refused with exit 1" test $? -eq 1
    check "$1: the dialog's message" has "$err" "$2"
    check "$1: no file" test ! -e "$img"
    printf 'keep me' >"$img"
    "$vkdisk" new "$img" --custom "$1" --force 2>/dev/null
    check "$1: an existing file stays" test "$(cat "$img")" = "keep me"
}
refused "cluster=4" "This disk has 4086 clusters, but a FAT12 disk has at most 4084"
refused "cluster=3" "sectors per cluster must be 1, 2, 4"
refused "media=F3" "media Id byte must be F0"
refused "root=17" "multiple of 16"
refused "reserved=0" "reserved sectors must not be 0"
refused "cluster=1,sectors=4000,fat=1" "The FAT of 3983 clusters needs 12 sectors"
refused "sectors=10" "Capacity of disk is <= 0 Bytes"
refused "heads=0" "heads and the sectors per track must not be 0"

rm -f "$img"
"$vkdisk" new "$img" --custom bogus=1 2>/dev/null
check "an unknown field is a usage error" test $? -eq 2
"$vkdisk" new "$img" --custom sectors=12x 2>/dev/null
check "a field that is no number is a usage error" test $? -eq 2
"$vkdisk" new "$img" --custom --format F9 2>/dev/null
check "--custom and --format exclude each other" test $? -eq 2
check "usage errors create no file" test ! -e "$img"

summary vkdisk_custom
