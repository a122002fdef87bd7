#!/usr/bin/env bash
# Seeds for the fuzzers: images made by mkfs.fat and mtools in several
# geometries, some with files, labels and attributes, and a few damaged on
# purpose. The operations fuzzer's seeds carry a small script in front.
set -euo pipefail
out=${1:?usage: make_seeds.sh DIR [VKDISK]}
vkdisk=${2:-}
rm -rf "$out"
mkdir -p "$out/images" "$out/operations"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1

make_image() {  # FILE KB mkfs.fat-options...
    local img=$1 kb=$2; shift 2
    mkfs.fat -C -a -F 12 "$@" "$img" "$kb" >/dev/null
}

printf 'hello, disk\r\n' > "$work/HELLO.TXT"
head -c 3000 /dev/zero | tr '\0' 'x' > "$work/DATA.BIN"
: > "$work/EMPTY"

n=0
for shape in "40 -s 1 -f 1 -r 16" "48 -s 1 -f 2 -r 16" "40 -s 2 -f 2 -r 32" "64 -s 4 -f 1 -r 48" \
            "160 -s 1 -f 2 -r 64" "180 -s 1 -f 2 -r 64"; do
    img="$out/images/mkfs-$n.img"
    n=$((n + 1))
    make_image "$img" $shape
    mcopy -i "$img" "$work/HELLO.TXT" ::HELLO.TXT
    mcopy -i "$img" "$work/DATA.BIN" ::DATA.BIN 2>/dev/null || true
    mcopy -i "$img" "$work/EMPTY" ::EMPTY 2>/dev/null || true
    mattrib -i "$img" +r +h ::HELLO.TXT
    mlabel -i "$img" ::SEEDS
    mmd -i "$img" ::SUB 2>/dev/null || true
done
make_image "$out/images/empty.img" 44 -s 1 -f 2 -r 16

# Long names and folders as mtools writes them, one folder inside another.
img="$out/images/mtools-long-names.img"
make_image "$img" 160 -s 1 -f 2 -r 64
cp "$work/HELLO.TXT" "$work/Long File Name.txt"
cp "$work/DATA.BIN" "$work/Another Long Name.doc"
mcopy -i "$img" "$work/Long File Name.txt" "$work/Another Long Name.doc" ::
mmd -i "$img" "::My Folder" "::My Folder/Inner Folder" ::SUB
mcopy -i "$img" "$work/Long File Name.txt" "::My Folder/"
mcopy -i "$img" "$work/DATA.BIN" "::My Folder/Inner Folder/"
mlabel -i "$img" ::LONGNAMES

# Folder trees that must not be followed: A holds B, whose entry (after A's
# dot entries) is bent back to A, or whose own "." entry names another
# cluster; and a deep tree. With one-sector clusters A is cluster 2, B 3.
u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u8() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
tree="$work/tree.img"
make_image "$tree" 160 -s 1 -f 2 -r 64
mmd -i "$tree" ::A ::A/B ::A/B/C ::A/B/C/D
mcopy -i "$tree" "$work/HELLO.TXT" ::A/B/C/D/
bps=$(u16 "$tree" 11)
data=$(( ($(u16 "$tree" 14) + $(u8 "$tree" 16) * $(u16 "$tree" 22)) * bps + $(u16 "$tree" 17) * 32 ))
cp "$tree" "$out/images/folder-tree.img"
cp "$tree" "$out/images/folder-loop.img"
printf '\x02\x00' | dd of="$out/images/folder-loop.img" bs=1 seek=$((data + 64 + 26)) conv=notrunc status=none
cp "$tree" "$out/images/folder-dot-elsewhere.img"
printf '\x05\x00' | dd of="$out/images/folder-dot-elsewhere.img" bs=1 seek=$((data + bps + 26)) conv=notrunc status=none

# The smallest standard formats as vkdisk makes them, with each boot sector.
if [ -n "$vkdisk" ]; then
    for code in FC FE; do
        for boot in msxdos msxdos2 msdos; do
            "$vkdisk" new "$out/images/vkdisk-$code-$boot.img" --format $code --boot $boot
        done
    done
fi

# The check's damaged images, one per fault, on a small disk.
faults="$work/faults"
mkdir -p "$faults"
make_image "$work/fault-base.img" 160 -s 1 -f 2 -r 64
cp "$work/DATA.BIN" "$work/ONE.BIN"
cp "$work/DATA.BIN" "$work/TWO.BIN"
mcopy -i "$work/fault-base.img" "$work/ONE.BIN" "$work/TWO.BIN" "$work/Long File Name.txt" ::
mmd -i "$work/fault-base.img" ::DIR
mcopy -i "$work/fault-base.img" "$work/HELLO.TXT" ::DIR/X.TXT
python3 "$(dirname "$0")/../tools/fault_images.py" "$work/fault-base.img" "$faults"
for img in "$faults"/*.dsk; do cp "$img" "$out/images/fault-$(basename "$img" .dsk).img"; done

# Damaged copies of the first image.
base="$out/images/mkfs-0.img"
damage() {  # name offset hex-bytes
    cp "$base" "$out/images/$1.img"
    printf "$3" | dd of="$out/images/$1.img" bs=1 seek=$(($2)) conv=notrunc status=none
}
damage zero-cluster-size 0x0D '\x00'
damage chain-cycle 0x203 '\x03\x30\x00'
damage chain-to-bad 0x203 '\xF7\x0F'
damage huge-root 0x11 '\xFF\xFF'
damage many-fats 0x10 '\xFF'
head -c 700 "$base" > "$out/images/truncated.img"
{ printf '\xAA\x5AXXXX\x00\x00'; head -c 32 /dev/zero; printf 'a comment\x00'; cat "$base"; } > "$out/images/comment.img"

# Partitioned images for the partition-table fuzzer: an MBR with two primary
# and two logical partitions, the same with a chain that loops, and an
# MSX-IDE table; every partition a small FAT12 volume.
mkdir -p "$out/partitions"
put32() {  # FILE OFFSET VALUE
    printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($3 & 255)) $(($3 >> 8 & 255)) $(($3 >> 16 & 255)) \
        $(($3 >> 24 & 255)))" | dd of="$1" bs=1 seek=$(($2)) conv=notrunc status=none
}
entry() {  # FILE OFFSET TYPE START COUNT
    printf "$(printf '\\x%02x' "$3")" | dd of="$1" bs=1 seek=$(($2 + 4)) conv=notrunc status=none
    put32 "$1" $(($2 + 8)) "$4"
    put32 "$1" $(($2 + 12)) "$5"
}
signature() { printf '\x55\xAA' | dd of="$1" bs=1 seek=$(($2 * 512 + 0x1FE)) conv=notrunc status=none; }
mbr="$out/partitions/mbr.img"
truncate -s $((323 * 512)) "$mbr"
signature "$mbr" 0
entry "$mbr" 0x1BE 1 1 80
entry "$mbr" 0x1CE 1 81 80
entry "$mbr" 0x1DE 5 161 162
signature "$mbr" 161
entry "$mbr" $((161 * 512 + 0x1BE)) 1 1 80
entry "$mbr" $((161 * 512 + 0x1CE)) 5 81 81
signature "$mbr" 242
entry "$mbr" $((242 * 512 + 0x1BE)) 1 1 80
for start in 1 81 162 243; do
    mkfs.fat -F 12 --offset "$start" -s 1 -f 1 -r 16 "$mbr" 40 >/dev/null 2>&1
    mcopy -i "$mbr@@$((start * 512))" "$work/HELLO.TXT" ::HELLO.TXT
done
cp "$mbr" "$out/partitions/mbr-loop.img"
entry "$out/partitions/mbr-loop.img" $((242 * 512 + 0x1CE)) 5 0 1
ide="$out/partitions/msx-ide.img"
truncate -s $((161 * 512)) "$ide"
printf '\xEB\xFE\x90MSX_IDE ' | dd of="$ide" bs=1 conv=notrunc status=none
entry "$ide" 0x1EE 1 1 80
entry "$ide" 0x1DE 1 81 80
for start in 1 81; do
    mkfs.fat -F 12 --offset "$start" -s 1 -f 1 -r 16 "$ide" 40 >/dev/null 2>&1
    mcopy -i "$ide@@$((start * 512))" "$work/DATA.BIN" ::DATA.BIN
done

# DMK track images of the first cylinders of a disk: sound, with a sector
# left out, a failing data CRC and a failing ID CRC, double-sided, and FM.
make_dmk="$(dirname "$0")/../tools/make_dmk.py"
mkdir -p "$out/dmk"
head -c 18432 "$out/images/mkfs-5.img" > "$work/first.img"
head -c 8192 "$out/images/mkfs-5.img" > "$work/fm.img"
python3 "$make_dmk" "$work/first.img" "$out/dmk/sound.dmk" --heads 1 --sectors 9
python3 "$make_dmk" "$work/first.img" "$out/dmk/faults.dmk" --heads 1 --sectors 9 \
    --drop 1/0/3 --bad-data 2/0/5 --bad-id 0/0/2
python3 "$make_dmk" "$work/first.img" "$out/dmk/two-sides.dmk" --heads 2 --sectors 9 --extra-tracks 1
python3 "$make_dmk" "$work/fm.img" "$out/dmk/fm.dmk" --heads 1 --sectors 4 --fm

# The operations fuzzer: no script, then one that adds, renames, labels, deletes and saves.
for img in "$out"/images/*.img; do
    name=$(basename "$img")
    { printf '\x00'; cat "$img"; } > "$out/operations/$name"
    { printf '\x06'
      printf '\x00\x01\x05\x00'   # add notes.txt
      printf '\x02\x00\x0a\x00'   # rename an item to FILE1.TXT
      printf '\x03\x11\x00\x00'   # label VOLUME
      printf '\x04\x00\x03\x00'   # attributes
      printf '\x01\x00\x00\x80'   # delete under /F
      printf '\x05\x00\x00\x00'   # save and reopen
      cat "$img"; } > "$out/operations/script-$name"
done
# Containers: the first byte picks the member the fuzzer asks for (0: none,
# 1: GAME.DSK, 2: B.DSK); small images gzipped, zipped alone and with others.
mkdir -p "$out/containers"
for i in 0 1; do
    { printf '\x00'; gzip -9c "$out/images/mkfs-$i.img"; } > "$out/containers/gzip-$i"
done
python3 - "$out/images/mkfs-0.img" "$out/containers" <<'PY'
import io, sys, zipfile
image, folder = open(sys.argv[1], 'rb').read(), sys.argv[2]
def archive(name, members, method=zipfile.ZIP_DEFLATED, pick=0):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, 'w', method) as z:
        for member, data in members:
            z.writestr(member, data)
        z.comment = b'seed'
    open(folder + '/' + name, 'wb').write(bytes([pick]) + buffer.getvalue())
archive('zip-one', [('GAME.DSK', image)])
archive('zip-stored', [('GAME.DSK', image[:2048])], zipfile.ZIP_STORED, 1)
archive('zip-others', [('README.TXT', b'hello'), ('GAME.DSK', image), ('EXTRA/', b'')], pick=1)
archive('zip-two', [('A.DSK', image), ('B.DSK', image)], pick=2)
PY
# MSX-BASIC: listings with every number form, and the program of one.
mkdir -p "$out/basic"
printf '10 PRINT "HI":GOTO 10\r\n20 A=&H1F+&O17+&B101-1.5*-0.001/1E+20:B#=3.14159265358979#\r\n' >"$out/basic/listing-1"
printf '30 IF A THEN 10 ELSE 20\n40 ON X GOSUB 10,20:\x27 note\n50 DATA 1,"two",3\n60 REM x\n65535 END\n' >"$out/basic/listing-2"
printf '\xff\x12\x80\x0a\x00\x91 "HI":\x89 \x0e\x0a\x00\x00\x00\x00' >"$out/basic/program-1"
echo "make_seeds: $(ls "$out/images" | wc -l) images, $(ls "$out/operations" | wc -l) operation seeds," \
    "$(ls "$out/partitions" | wc -l) partitioned images, $(ls "$out/containers" | wc -l) containers," \
    "$(ls "$out/dmk" | wc -l) DMK images, $(ls "$out/basic" | wc -l) BASIC seeds"
