#!/usr/bin/env bash
# Images other tools wrote — long names, folders, three FATs, FAT16, 1024-byte
# sectors — through every vkdisk command that changes an image. Each change
# either leaves an image fsck.fat -n reads without a single finding, or is
# refused with the image and its .der byte for byte as they were.
# Usage: vkdisk_foreign_images_test.sh VKDISK
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# fsck.fat reads one or two FATs only: an image with more is judged by
# its FAT copies, which must all be equal, and by mtools below.
image_findings() {
    local fats
    fats=$(od -An -tu1 -j16 -N1 "$1" | tr -d ' ')
    if [ "$fats" -gt 2 ]; then
        fat_copies_equal "$1" "$fats" || echo "the $fats FAT copies differ"
        return
    fi
    fsck_findings "$1"
}
fat_copies_equal() {  # IMAGE COUNT
    local reserved spf i
    reserved=$(od -An -tu2 -j14 -N2 "$1" | tr -d ' ')
    spf=$(od -An -tu2 -j22 -N2 "$1" | tr -d ' ')
    for ((i = 1; i < $2; i++)); do
        cmp -s <(dd if="$1" bs=512 skip="$reserved" count="$spf" 2>/dev/null) \
               <(dd if="$1" bs=512 skip=$((reserved + i * spf)) count="$spf" 2>/dev/null) || return 1
    done
}

host="$work/host"
mkdir -p "$host/newdir"
head -c 4000 /dev/urandom >"$host/new.bin"
head -c 3000 /dev/urandom >"$work/long1"
printf 'hello\n' >"$work/long2"

# make KIND PATH: one image of each kind, filled by mtools.
make_image() {
    local kind=$1 img=$2
    case $kind in
    lfn)      mkfs.fat -C "$img" 1440 >/dev/null ;;
    threefat) mkfs.fat -f 3 -C "$img" 720 >/dev/null ;;
    fat16)    mkfs.fat -F 16 -C "$img" 16384 >/dev/null ;;
    sector1k) mkfs.fat -S 1024 -C "$img" 1440 >/dev/null ;;
    esac
    mcopy -i "$img" "$work/long1" "::Long File Name.txt"
    mcopy -i "$img" "$work/long2" "::Second long name.dat"
    mmd -i "$img" "::Sub Folder"
    mcopy -i "$img" "$work/long2" "::Sub Folder/Inner long name.txt"
}

# The operations, each on a fresh image; LONGFI~1.TXT is the 8.3 name mtools
# gives "Long File Name.txt".
ops=(
    "add new.bin|add IMG $host/new.bin"
    "add folder|add IMG $host/newdir"
    "rm long name|rm --force IMG LONGFI~1.TXT"
    "ren long name|ren IMG LONGFI~1.TXT RENAMED.TXT"
    "label|label IMG NEWLABEL"
    "attr long name|attr IMG LONGFI~1.TXT +r"
)

# kind -> what every change must come to: "clean" or "refused".
declare -A expect=([lfn]=clean [threefat]=clean [fat16]=clean [sector1k]=refused)

for kind in lfn threefat fat16 sector1k; do
    for op in "${ops[@]}"; do
        count
        what="$kind: ${op%%|*}"
        img="$work/$kind.img"
        rm -f "$img" "$work/$kind.der"
        make_image "$kind" "$img"
        printf 'DiskImage errors\r\n\x1a\0\x80' >"$work/$kind.der"  # one bad sector, to be kept
        cp "$img" "$work/before.img"
        cp "$work/$kind.der" "$work/before.der"
        read -r -a words <<<"${op#*|}"
        "$vkdisk" "${words[@]/#IMG/$img}" </dev/null >/dev/null 2>"$work/stderr"
        rc=$?
        findings=$(image_findings "$img")
        if [ "${expect[$kind]}" = clean ]; then
            if [ $rc -ne 0 ]; then
                fail "$what: exit $rc: $(cat "$work/stderr")"
            elif [ -n "$findings" ]; then
                fail "$what: fsck.fat -n: $findings"
            elif ! mdir -/ -i "$img" :: >/dev/null 2>&1; then
                fail "$what: mdir cannot read the image"
            elif ! "$vkdisk" info "$img" 2>/dev/null | grep -q '^Bad sectors: *0$'; then
                fail "$what: the bad sector of the .der was lost"
            fi
        else
            if [ $rc -eq 0 ]; then
                fail "$what: a change of an image that cannot be written soundly succeeded"
            elif ! cmp -s "$img" "$work/before.img" || ! cmp -s "$work/$kind.der" "$work/before.der"; then
                fail "$what: refused, but the image or its .der changed"
            elif [ ! -s "$work/stderr" ]; then
                fail "$what: refused without a word"
            fi
        fi
    done
done

# What survives the changes is still what mtools wrote.
img="$work/lfn.img"
rm -f "$img" "$work/lfn.der"
make_image lfn "$img"
"$vkdisk" add "$img" "$host/new.bin" </dev/null 2>/dev/null
mcopy -n -i "$img" "::Sub Folder/Inner long name.txt" "$work/inner" 2>/dev/null
count; cmp -s "$work/inner" "$work/long2" || fail "lfn: a file in a folder changed after an add"
mcopy -n -i "$img" ::NEW.BIN "$work/new.out" 2>/dev/null
count; cmp -s "$work/new.out" "$host/new.bin" || fail "lfn: the added file does not come out of mcopy unchanged"

summary vkdisk_foreign_images
