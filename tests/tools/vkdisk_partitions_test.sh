#!/usr/bin/env bash
# Partitioned hard-disk images: an MBR that sfdisk wrote (primary and logical
# partitions) and an MSX-IDE table built byte by byte, their partitions
# formatted by mkfs.fat and filled by mtools. vkdisk lists and extracts every
# file of every partition; its changes to a partition leave a volume
# mtools and fsck.fat -n read without a finding and every byte outside that
# partition as it was; a table that makes no sense is refused any change.
# Usage: vkdisk_partitions_test.sh VKDISK
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if ! command -v sfdisk >/dev/null; then
    echo "vkdisk_partitions: sfdisk missing (package fdisk, scripts/bootstrap.sh)"
    exit 1
fi

# The sha256 of an image's bytes outside sectors START .. START+COUNT-1.
outside_sum() {  # IMAGE START COUNT
    { head -c $(($2 * 512)) "$1"; tail -c +$((($2 + $3) * 512 + 1)) "$1"; } | sha256sum
}
# Copies a partition out into a file of its own.
partition_copy() {  # IMAGE START COUNT OUT
    dd if="$1" of="$4" bs=512 skip="$2" count="$3" status=none
}
# Sizes and sums of every file under a folder, sorted: the same multiset
# whatever names the files got.
tree_sums() { (cd "$1" && find . -type f -exec sh -c 'printf "%s " "$(wc -c <"$1")"; sha256sum <"$1"' _ {} \; | sort); }
put32() {  # IMAGE OFFSET VALUE
    printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($3 & 255)) $(($3 >> 8 & 255)) $(($3 >> 16 & 255)) \
        $(($3 >> 24 & 255)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
putbytes() {  # IMAGE OFFSET PRINTF-TEXT
    printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# Each partition's files: folders, long names, sizes around cluster edges.
fill_source() {  # FOLDER SEED
    mkdir -p "$1/Long folder name/deeper"
    head -c $((2000 + $2)) /dev/urandom >"$1/A long file name.bin"
    head -c 8192 /dev/urandom >"$1/CLUSTER.DAT"
    head -c $((70000 + $2)) /dev/urandom >"$1/Long folder name/big file.data"
    printf 'partition %s\n' "$2" >"$1/Long folder name/deeper/note.txt"
    : >"$1/EMPTY.TXT"
}

# --- MBR: two primaries, two logicals in an extended partition ---------------
img="$work/hd.img"
truncate -s 100M "$img"
printf 'label: dos\n2048,20M,1\n,40M,6\n,,5\n,8M,1\n,,6\n' | sfdisk -q "$img" || fail "sfdisk refused the table"
mapfile -t starts < <(sfdisk -d "$img" | sed -n 's/.*start= *\([0-9]*\), size= *\([0-9]*\), type=\([0-9a-f]*\).*/\1 \2 \3/p' |
    grep -v ' 5$')
declare -A fsbits=([1]=12 [6]=16)
n=0
for row in "${starts[@]}"; do
    read -r start size type <<<"$row"
    n=$((n + 1))
    pstart[$n]=$start psize[$n]=$size pbits[$n]=${fsbits[$type]}
    mkfs.fat -F "${pbits[$n]}" --offset "$start" -n "PART$n" "$img" $((size / 2)) >/dev/null 2>&1 ||
        fail "mkfs.fat could not format partition $n"
    fill_source "$work/src$n" "$n"
    mcopy -s -i "$img@@$((start * 512))" "$work/src$n/"* :: || fail "mcopy could not fill partition $n"
done
[ "$n" -eq 4 ] || fail "sfdisk listed $n partitions, wanted 4"

# Without --partition: refused, the partitions listed.
expect_rc 1 "ls without --partition" "$vkdisk" ls "$img"
stderr_has "partition table" "the refusal says why"
for i in 1 2 3 4; do stderr_has "^$i: FAT1[26] (0x0[16]), from sector ${pstart[$i]}, ${psize[$i]} sectors" "partition $i listed"; done
expect_rc 1 "a partition the table lacks" "$vkdisk" ls -p 5 "$img"
expect_rc 2 "partition 0" "$vkdisk" ls --partition 0 "$img"

# info lists number, type, start, size, file system, label and free space.
info=$("$vkdisk" info "$img" 2>&1)
check "info names the table" has "$info" "Partition table: +MBR, 4 partitions"
for i in 1 2 3 4; do
    free=$(mdir -i "$img@@$((pstart[i] * 512))" :: | sed -n 's/^ *\([0-9 ]*\) bytes free$/\1/p' | tr -d ' ')
    check "info line of partition $i: $(grep -E "^ +$i " <<<"$info")" \
        has "$info" "^ +$i +FAT${pbits[$i]} \(0x0[16]\)( L)? +${pstart[$i]} +$((psize[i] / 2)) +FAT${pbits[$i]} +PART$i +$((free / 1024))$"
done

# Gzipped, the image lists the same partitions: only its name differs.
gzip -c "$img" >"$work/packed.dsk.gz"
check "info of the gzipped image lists the same partitions" \
    test "$(sed 1d <<<"$info")" = "$("$vkdisk" info "$work/packed.dsk.gz" 2>&1 | sed 1d)"

# Every file of every partition comes out byte for byte.
for i in 1 2 3 4; do
    check "ls -R of partition $i names the deep file" has "$("$vkdisk" ls -R -p "$i" "$img" 2>&1)" "NOTE\.TXT"
    expect_rc 0 "get --all of partition $i" "$vkdisk" get -p "$i" "$img" --all -d "$work/out$i"
    count
    [ "$(tree_sums "$work/src$i")" = "$(tree_sums "$work/out$i")" ] || fail "partition $i: extracted files differ"
done

# Changes to every partition, FAT12 and FAT16: the volume sound, nothing outside it touched.
head -c 30000 /dev/urandom >"$work/added.bin"
for i in 1 2 3 4; do
    before=$(outside_sum "$img" "${pstart[$i]}" "${psize[$i]}")
    expect_rc 0 "add to partition $i" "$vkdisk" add -p "$i" "$img" "$work/added.bin"
    expect_rc 0 "rm in partition $i" "$vkdisk" rm -p "$i" "$img" CLUSTER.DAT --force
    expect_rc 0 "mkdir in partition $i" "$vkdisk" mkdir --partition "$i" "$img" NEWDIR
    count
    [ "$before" = "$(outside_sum "$img" "${pstart[$i]}" "${psize[$i]}")" ] || fail "partition $i: bytes outside it changed"
    rm -f "$work/back.bin"
    mcopy -i "$img@@$((pstart[i] * 512))" ::ADDED.BIN "$work/back.bin" 2>/dev/null
    same_file "$work/added.bin" "$work/back.bin" "mtools reads the file added to partition $i"
    count
    mdir -i "$img@@$((pstart[i] * 512))" ::CLUSTER.DAT >/dev/null 2>&1 && fail "partition $i: CLUSTER.DAT still there"
    partition_copy "$img" "${pstart[$i]}" "${psize[$i]}" "$work/part$i.img"
    check "fsck.fat -n on partition $i after the changes" fsck_clean "$work/part$i.img"
done

# A table that makes no sense: partition 2 moved over partition 1. Partition
# 1 still reads, read-only, with a warning that names partition 2.
bad="$work/overlap.img"
cp "$img" "$bad"
put32 "$bad" $((0x1CE + 8)) $((pstart[1] + 16))
expect_rc 0 "ls of partition 1 beside an overlapping one" "$vkdisk" ls -p 1 "$bad"
stderr_has "Partition 2 overlaps" "the warning names the partition"
sum=$(sha256sum <"$bad")
expect_rc 1 "add beside an overlapping partition" "$vkdisk" add -p 1 "$bad" "$work/added.bin"
count
[ "$sum" = "$(sha256sum <"$bad")" ] || fail "the refused add changed the image with the bad table"
# A chain of logical partitions that loops: its first record links to itself.
loop="$work/loop.img"
cp "$img" "$loop"
ext=$(sfdisk -d "$img" | sed -n 's/.*start= *\([0-9]*\),.*type=5.*/\1/p')
put32 "$loop" $((ext * 512 + 0x1CE + 8)) 0
putbytes "$loop" $((ext * 512 + 0x1CE + 4)) '\x05'
put32 "$loop" $((ext * 512 + 0x1CE + 12)) 1
expect_rc 0 "ls of a logical partition of a looping chain" "$vkdisk" ls -p 3 "$loop"
stderr_has "comes back on itself after partition 3" "the loop is reported"

# --- MSX-IDE: sector 0 a jump and "MSX_IDE ", partition 1 in the last slot -----
ide="$work/ide.img"
truncate -s 40M "$ide"
putbytes "$ide" 0 '\xeb\xfe\x90MSX_IDE '
ide_start=(0 1 32769)
ide_size=(0 32768 40000)
for i in 1 2; do
    entry=$((0x1EE - (i - 1) * 16))
    putbytes "$ide" $((entry + 4)) '\x01'
    put32 "$ide" $((entry + 8)) "${ide_start[$i]}"
    put32 "$ide" $((entry + 12)) "${ide_size[$i]}"
    mkfs.fat -F 12 --offset "${ide_start[$i]}" -n "IDE$i" "$ide" $((ide_size[i] / 2)) >/dev/null 2>&1 ||
        fail "mkfs.fat could not format MSX-IDE partition $i"
    fill_source "$work/ide_src$i" "$((i + 10))"
    mcopy -s -i "$ide@@$((ide_start[i] * 512))" "$work/ide_src$i/"* :: || fail "mcopy could not fill MSX-IDE partition $i"
done
info=$("$vkdisk" info "$ide" 2>&1)
check "info names the MSX-IDE table" has "$info" "Partition table: +MSX-IDE, 2 partitions"
check "MSX-IDE partition 2 follows partition 1" has "$info" "^ +2 +FAT12 \(0x01\) +32769 +20000 +FAT12 +IDE2 "
for i in 1 2; do
    expect_rc 0 "get --all of MSX-IDE partition $i" "$vkdisk" get -p "$i" "$ide" --all -d "$work/ide_out$i"
    count
    [ "$(tree_sums "$work/ide_src$i")" = "$(tree_sums "$work/ide_out$i")" ] || fail "MSX-IDE partition $i: files differ"
    before=$(outside_sum "$ide" "${ide_start[$i]}" "${ide_size[$i]}")
    expect_rc 0 "add to MSX-IDE partition $i" "$vkdisk" add -p "$i" "$ide" "$work/added.bin"
    count
    [ "$before" = "$(outside_sum "$ide" "${ide_start[$i]}" "${ide_size[$i]}")" ] ||
        fail "MSX-IDE partition $i: bytes outside it changed"
    rm -f "$work/back.bin"
    mcopy -i "$ide@@$((ide_start[i] * 512))" ::ADDED.BIN "$work/back.bin" 2>/dev/null
    same_file "$work/added.bin" "$work/back.bin" "mtools reads the file added to MSX-IDE partition $i"
    partition_copy "$ide" "${ide_start[$i]}" "${ide_size[$i]}" "$work/ide$i.img"
    check "fsck.fat -n on MSX-IDE partition $i" fsck_clean "$work/ide$i.img"
done

summary vkdisk_partitions
