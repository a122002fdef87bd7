#!/usr/bin/env bash
# FAT16 volumes and FAT12 ones with large clusters, and new partitioned
# images. Superfloppies that mkfs.fat made and mtools filled (folders, long
# names) come out of vkdisk byte for byte, and after vkdisk's changes mtools
# reads them and fsck.fat -n finds nothing. `vkdisk new --partitions` makes
# tables sfdisk reads and partitions mtools and fsck.fat read, FAT16 above
# 32 MB; an MSX-IDE one our own reader lists and vkdisk writes.
# Usage: vkdisk_fat16_test.sh VKDISK
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if ! command -v sfdisk >/dev/null; then
    echo "vkdisk_fat16: sfdisk missing (package fdisk, scripts/bootstrap.sh)"
    exit 1
fi

tree_sums() { (cd "$1" && find . -type f -exec sh -c 'printf "%s " "$(wc -c <"$1")"; sha256sum <"$1"' _ {} \; | sort); }
outside_sum() {  # IMAGE START COUNT: the bytes outside those sectors
    { head -c $(($2 * 512)) "$1"; tail -c +$((($2 + $3) * 512 + 1)) "$1"; } | sha256sum
}
# The FAT width fsck.fat reports: 12 or 16.
fat_width() { fsck.fat -n -v "$1" 2>/dev/null | sed -n 's/.* FATs, \([0-9]*\) bit entries$/\1/p'; }

fill_source() {  # FOLDER
    mkdir -p "$1/Long folder name/deeper"
    head -c 5000 /dev/urandom >"$1/A long file name.bin"
    head -c 100000 /dev/urandom >"$1/Long folder name/big file.data"
    printf 'deep\n' >"$1/Long folder name/deeper/note.txt"
    for k in $(seq 1 40); do printf '%s\n' "$k" >"$1/Long folder name/many file $k.txt"; done
    : >"$1/EMPTY.TXT"
}
head -c 300000 /dev/urandom >"$work/added.bin"
mkdir -p "$work/tree/sub"
head -c 70000 /dev/urandom >"$work/tree/sub/inner.bin"

# --- superfloppies: FAT16 of three cluster sizes, FAT12 of 8 KB clusters ---
#   name   FAT  sectors/cluster  KB
cases=(
    "f16s4   16  4   49152"
    "f16s64  16  64  139264"
    "f12s16  12  16  30720"
)
for row in "${cases[@]}"; do
    read -r name bits spc kb <<<"$row"
    img="$work/$name.img"
    mkfs.fat -F "$bits" -s "$spc" -n "VOL$name" -C "$img" "$kb" >/dev/null 2>&1 || { fail "$name: mkfs.fat"; continue; }
    check "$name: fsck.fat sees FAT$bits" [ "$(fat_width "$img")" = "$bits" ]
    fill_source "$work/src_$name"
    mcopy -s -i "$img" "$work/src_$name/"* :: || fail "$name: mcopy could not fill it"

    check "$name: ls -R names the deep file" has "$("$vkdisk" ls -R "$img" 2>&1)" "NOTE\.TXT"
    expect_rc 0 "$name: get --all" "$vkdisk" get "$img" --all -d "$work/out_$name"
    count
    [ "$(tree_sums "$work/src_$name")" = "$(tree_sums "$work/out_$name")" ] || fail "$name: extracted files differ"

    expect_rc 0 "$name: add" "$vkdisk" add "$img" "$work/added.bin"
    expect_rc 0 "$name: add -r a folder" "$vkdisk" add -r "$img" "$work/tree"
    expect_rc 0 "$name: mkdir" "$vkdisk" mkdir "$img" NEWDIR
    expect_rc 0 "$name: add into a folder with many entries" "$vkdisk" add --to "LONGFO~1" "$img" "$work/added.bin"
    expect_rc 0 "$name: rm a long-named file" "$vkdisk" rm "$img" "ALONGF~1.BIN" --force
    expect_rc 0 "$name: ren" "$vkdisk" ren "$img" EMPTY.TXT RENAMED.TXT
    expect_rc 0 "$name: rmdir" "$vkdisk" rmdir -r "$img" "LONGFO~1/DEEPER" --force

    rm -rf "$work/back_$name"
    mkdir "$work/back_$name"
    mcopy -i "$img" ::ADDED.BIN "$work/back_$name/top.bin" 2>/dev/null
    mcopy -i "$img" "::Long folder name/ADDED.BIN" "$work/back_$name/deep.bin" 2>/dev/null
    mcopy -i "$img" ::TREE/SUB/INNER.BIN "$work/back_$name/inner.bin" 2>/dev/null
    same_file "$work/added.bin" "$work/back_$name/top.bin" "$name: mtools reads the added file"
    same_file "$work/added.bin" "$work/back_$name/deep.bin" "$name: mtools reads the file added to a folder"
    same_file "$work/tree/sub/inner.bin" "$work/back_$name/inner.bin" "$name: mtools reads the added tree"
    listing=$(mdir -/ -i "$img" :: 2>&1)
    check "$name: mtools sees the rename" has "$listing" "RENAMED +TXT"
    check "$name: mtools sees the folder made" has "$listing" "NEWDIR +<DIR>"
    check "$name: the deleted long name is gone with its entry" hasnt "$listing" "A long file name"
    check "$name: the removed folder is gone" hasnt "$listing" "deeper"
    check "$name: fsck.fat -n after the changes" fsck_clean "$img"
done

# --- new partitioned images: MBR, three primaries and three logicals ---------
sizes_mb=(30 100 8 8 8)
for boot in msxdos msxdos2 msdos; do
    img="$work/new_$boot.img"
    expect_rc 0 "new --partitions --boot $boot" "$vkdisk" new "$img" --partitions 30M,100M,8M,8M,8M --boot "$boot"
    dump=$(sfdisk -d "$img" 2>&1)
    mapfile -t rows < <(sed -n 's/.*start= *\([0-9]*\), size= *\([0-9]*\), type=\([0-9a-f]*\).*/\1 \2 \3/p' <<<"$dump")
    count
    [ "${#rows[@]}" -eq 6 ] || { fail "$boot: sfdisk lists ${#rows[@]} partitions, wanted 6: $dump"; continue; }
    check "$boot: sfdisk sees the extended partition in slot 4" has "${rows[3]}" " 5$"
    n=0
    for row in "${rows[@]}"; do
        read -r start size type <<<"$row"
        [ "$type" = 5 ] && continue
        n=$((n + 1))
        pstart[$n]=$start psize[$n]=$size
        count
        [ "$size" -eq $((sizes_mb[n - 1] * 2048)) ] || fail "$boot: partition $n has $size sectors"
        want_type=1 want_bits=12
        [ "${sizes_mb[n - 1]}" -gt 32 ] && want_type=6 want_bits=16
        check "$boot: partition $n has type $want_type" [ "$type" = "$want_type" ]
        dd if="$img" of="$work/part.img" bs=512 skip="$start" count="$size" status=none
        # An MSX boot sector of 65535 sectors or fewer has no 0x29 signature.
        judge=fsck_clean
        [ "$boot" != msdos ] && [ "$want_bits" = 12 ] && judge=fsck_clean_msx
        check "$boot: fsck.fat -n on partition $n" "$judge" "$work/part.img"
        check "$boot: partition $n is FAT$want_bits" [ "$(fat_width "$work/part.img")" = "$want_bits" ]
        check "$boot: mtools reads partition $n" has "$(mdir -i "$img@@$((start * 512))" :: 2>&1)" "bytes free"
    done
    check "$boot: vkdisk lists five partitions" has "$("$vkdisk" info "$img" 2>&1)" "MBR, 5 partitions"
done

# Changes to each partition of one of them: kept inside it, sound to the judges.
img="$work/new_msxdos2.img"
for i in 1 2 3 4 5; do
    before=$(outside_sum "$img" "${pstart[$i]}" "${psize[$i]}")
    expect_rc 0 "partition $i: add" "$vkdisk" add -p "$i" "$img" "$work/added.bin"
    expect_rc 0 "partition $i: add -r" "$vkdisk" add -r -p "$i" "$img" "$work/tree"
    count
    [ "$before" = "$(outside_sum "$img" "${pstart[$i]}" "${psize[$i]}")" ] || fail "partition $i: bytes outside it changed"
    rm -f "$work/back.bin"
    mcopy -i "$img@@$((pstart[i] * 512))" ::TREE/SUB/INNER.BIN "$work/back.bin" 2>/dev/null
    same_file "$work/tree/sub/inner.bin" "$work/back.bin" "partition $i: mtools reads the added tree"
    dd if="$img" of="$work/part.img" bs=512 skip="${pstart[$i]}" count="${psize[$i]}" status=none
    check "partition $i: fsck.fat -n after the changes" fsck_clean_msx "$work/part.img"
done

# --- MSX-IDE: FAT12 partitions of up to 32 MB ----------------------------------
ide="$work/ide.img"
expect_rc 0 "new --table msx-ide" "$vkdisk" new "$ide" --table msx-ide --partitions 32M,10M --boot msxdos2
check "the MSX-IDE magic at sector 0" [ "$(dd if="$ide" bs=1 skip=3 count=8 status=none)" = "MSX_IDE " ]
info=$("$vkdisk" info "$ide" 2>&1)
check "our reader names the MSX-IDE table" has "$info" "Partition table: +MSX-IDE, 2 partitions"
check "MSX-IDE partition 1 is FAT12, from sector 1" has "$info" "^ +1 +FAT12 \(0x01\) +1 +32768 +FAT12 "
check "MSX-IDE partition 2 follows it" has "$info" "^ +2 +FAT12 \(0x01\) +65537 +10240 +FAT12 "
ide_start=(0 1 65537)
ide_size=(0 65536 20480)
for i in 1 2; do
    expect_rc 0 "MSX-IDE partition $i: add" "$vkdisk" add -p "$i" "$ide" "$work/added.bin"
    mkdir -p "$work/ide_out$i"
    expect_rc 0 "MSX-IDE partition $i: get" "$vkdisk" get -p "$i" "$ide" ADDED.BIN -d "$work/ide_out$i"
    same_file "$work/added.bin" "$work/ide_out$i/ADDED.BIN" "MSX-IDE partition $i: the file comes back"
    dd if="$ide" of="$work/part.img" bs=512 skip="${ide_start[$i]}" count="${ide_size[$i]}" status=none
    check "MSX-IDE partition $i: fsck.fat -n" fsck_clean_msx "$work/part.img"
done

# --- what new --partitions refuses ---------------------------------------------
expect_rc 2 "a size without a number" "$vkdisk" new "$work/r1.img" --partitions 10M,M
expect_rc 2 "an unknown suffix" "$vkdisk" new "$work/r2.img" --partitions 10Q
expect_rc 2 "an unknown table" "$vkdisk" new "$work/r3.img" --partitions 10M --table gpt
expect_rc 1 "an MSX-IDE partition above 32 MB" "$vkdisk" new "$work/r4.img" --table msx-ide --partitions 33M
stderr_has "up to 32 MBytes" "the MSX-IDE limits are named"
expect_rc 1 "five MSX-IDE partitions" "$vkdisk" new "$work/r5.img" --table msx-ide --partitions 1M,1M,1M,1M,1M
expect_rc 1 "a FAT16 partition above 2 GB" "$vkdisk" new "$work/r6.img" --partitions 3G
stderr_has "too large" "the refusal says why"
expect_rc 1 "a partition of two sectors" "$vkdisk" new "$work/r7.img" --partitions 1K
stderr_has "too small" "the refusal says why"
count
ls "$work"/r?.img >/dev/null 2>&1 && fail "a refused new left an image"
expect_rc 1 "an existing image without --force" "$vkdisk" new "$img" --partitions 8M

summary vkdisk_fat16
