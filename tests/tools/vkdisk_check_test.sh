#!/usr/bin/env bash
# vkdisk check and undelete. On a small image per fault, named after it
# (fault_images.py): check names the fault, exits 1 and writes nothing;
# check --fix leaves an image that fsck.fat -n reads without a finding, that
# check calls sound, whose boot sector is byte for byte the old one, and from
# which every file that extracted before extracts to the same bytes. Sound
# disks of every kind give no finding and stay untouched. Undelete brings
# back files vkdisk rm and mdel deleted, byte for byte.
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/lib.sh"

cd "$work" || exit 1
head -c 2500 /dev/urandom > ONE.BIN
head -c 2500 /dev/urandom > TWO.BIN
head -c 700 /dev/urandom > X.TXT
head -c 900 /dev/urandom > "Long File Name.txt"
# The faults on a 1.44 MB disk mformat made, and on a 720 KB one with
# vkdisk's MSX-DOS 2 boot sector, whose empty label fsck.fat complains of.
# And on a small FAT16 disk mkfs.fat made (4,085 clusters or more of one sector).
mformat -C -f 1440 -i base.dsk ::
"$vkdisk" new msx-base.dsk --format F9 --boot msxdos2 >/dev/null 2>&1
mkfs.fat -C -F 16 -s 1 f16-base.dsk 4096 >/dev/null
for b in base.dsk msx-base.dsk f16-base.dsk; do
    mcopy -i $b ONE.BIN TWO.BIN "Long File Name.txt" ::
    mmd -i $b ::DIR
    mcopy -i $b X.TXT ::DIR
done
mkdir faults msx-faults f16-faults
python3 "$here/fault_images.py" base.dsk faults
python3 "$here/fault_images.py" msx-base.dsk msx-faults
python3 "$here/fault_images.py" f16-base.dsk f16-faults
fsck_clean_msx() {  # fsck_clean but for the complaint about an MSX boot sector's label
    local findings
    findings=$(fsck_findings "$1" | grep -vE "^Label '.*' stored in boot sector is not valid\.$|^  Auto-removing label from boot sector\.$|^Leaving filesystem unchanged\.$|^$|^fsck.fat exit 1$")
    [ -z "$findings" ] || { printf 'fsck.fat -n %s:\n%s\n' "$1" "$findings"; return 1; }
}

# Checksums of the files of BASE that extract from IMAGE without a
# complaint, one `vkdisk get` each.
clean_files() {  # clean_files IMAGE
    local path
    for path in ONE.BIN TWO.BIN LONGFI~1.TXT DIR/X.TXT; do
        rm -rf one && mkdir one
        "$vkdisk" get "$1" "$path" -d one </dev/null >/dev/null 2>&1 && md5sum one/* | cut -d' ' -f1
    done | sort
}
# Checksums of every file of IMAGE, which must extract whole.
all_files() {  # all_files IMAGE
    rm -rf all && mkdir all
    "$vkdisk" get "$1" --all -d all </dev/null >/dev/null 2>&1 || echo "get --all failed"
    find all -type f -exec md5sum {} + | cut -d' ' -f1 | sort
}

for fault_image in faults/*.dsk msx-faults/*.dsk f16-faults/*.dsk; do
    fault=$(basename "$fault_image" .dsk)
    judge=fsck_clean
    case $fault_image in msx-*) judge=fsck_clean_msx ;; esac
    image=$work/img.dsk
    der=$work/img.der
    cp "$fault_image" "$image"
    rm -f "$der"
    [ -f "${fault_image%.dsk}.der" ] && cp "${fault_image%.dsk}.der" "$der"

    count
    said=$("$vkdisk" check "$image" --json 2>/dev/null)
    rc=$?
    [ $rc -eq 1 ] || fail "$fault_image: check exits $rc, not 1"
    has "$said" "\"kind\": \"$fault\"" || fail "$fault_image: check does not name the fault: $said"
    same_file "$fault_image" "$image" "$fault_image: check without --fix"
    [ -f "$der" ] && same_file "${fault_image%.dsk}.der" "$der" "$fault_image: the .der after check without --fix"

    before=$(clean_files "$image")
    expect_rc 0 "$fault_image: check --fix" "$vkdisk" check "$image" --fix >/dev/null
    check "$fault_image: fsck.fat -n after --fix" $judge "$image"
    expect_rc 0 "$fault_image: check after --fix" "$vkdisk" check "$image" >/dev/null
    count
    cmp -s -n 512 "$fault_image" "$image" || fail "$fault_image: --fix wrote the boot sector"
    after=$(all_files "$image")
    count
    missing=$(comm -23 <(printf '%s\n' "$before") <(printf '%s\n' "$after"))
    [ -z "$missing" ] && hasnt "$after" "failed" || fail "$fault_image: files that extracted before --fix are gone or changed"
done

# Lost chains freed rather than kept: no FOUND.000, the base's free space.
cp faults/lost-chain.dsk freed.dsk
expect_rc 0 "--lost=free" "$vkdisk" check freed.dsk --fix --lost=free
count
[ "$(free_bytes freed.dsk)" = "$(free_bytes base.dsk)" ] || fail "--lost=free left clusters used"
check "--lost=free makes no FOUND.000" bash -c "! mdir -i freed.dsk ::FOUND.000 >/dev/null 2>&1"

# Sound disks: every format and boot sector vkdisk makes, disks mkfs.fat and
# mtools made with three FATs, long names and folders, and an MSX-DOS 1 disk
# without BPB fields. Check finds nothing and writes nothing.
sound=()
for format in F0 F8 F9 FA FB FC FD FE FF; do
    for boot in msxdos msxdos2 msdos; do
        "$vkdisk" new "new-$format-$boot.dsk" --format "$format" --boot "$boot" >/dev/null 2>&1
        sound+=("new-$format-$boot.dsk")
    done
done
mkfs.fat -C -f 3 three-fats.dsk 1440 >/dev/null
mmd -i three-fats.dsk "::A Long Folder Name" "::A Long Folder Name/deeper"
mcopy -i three-fats.dsk ONE.BIN "Long File Name.txt" "::A Long Folder Name/deeper"
mcopy -i three-fats.dsk TWO.BIN ::
sound+=(three-fats.dsk base.dsk f16-base.dsk)
"$vkdisk" new msxdos1.dsk --format F9 --boot msxdos >/dev/null 2>&1
"$vkdisk" add msxdos1.dsk ONE.BIN X.TXT >/dev/null 2>&1
python3 - msxdos1.dsk <<'PY'
import sys
# MSX-DOS 1 keeps no BPB: only the sector size and media byte stay.
p = sys.argv[1]
b = bytearray(open(p, 'rb').read())
b[0x0B:0x36] = bytes(0x36 - 0x0B)
b[0x0B:0x0D] = (512).to_bytes(2, 'little')
b[0x15] = 0xF9
open(p, 'wb').write(b)
PY
sound+=(msxdos1.dsk)
# A FAT12 partition of an image with an MBR, checked with --partition.
if command -v sfdisk >/dev/null; then
    truncate -s 12M parted.dsk
    printf 'label: dos\n2048,8M,1\n' | sfdisk -q parted.dsk
    mkfs.fat -F 12 --offset 2048 parted.dsk 4096 >/dev/null
    mcopy -i parted.dsk@@1048576 ONE.BIN "Long File Name.txt" ::
    cp parted.dsk was.dsk
    expect_rc 0 "a sound partition" "$vkdisk" check parted.dsk -p 1 >/dev/null
    expect_rc 2 "a partitioned image without --partition" "$vkdisk" check parted.dsk
    same_file was.dsk parted.dsk "check of a partition"
fi
for image in "${sound[@]}"; do
    cp "$image" was.dsk
    expect_rc 0 "$image: check of a sound disk" "$vkdisk" check "$image" >/dev/null
    same_file was.dsk "$image" "$image: check of a sound disk"
    check "$image: no .der made" test ! -e "${image%.dsk}.der"
done
count
"$vkdisk" ls msxdos1.dsk 2>/dev/null | grep -q ONE.BIN || fail "msxdos1.dsk lost its BPB but should still list ONE.BIN"

# A boot sector that describes no disk: reported, and --fix writes nothing.
cp base.dsk impossible.dsk
printf '\0\0' | dd of=impossible.dsk bs=1 seek=22 conv=notrunc status=none  # 0 sectors per FAT
cp impossible.dsk was.dsk
expect_rc 1 "impossible boot sector: check --fix" "$vkdisk" check impossible.dsk --fix
same_file was.dsk impossible.dsk "impossible boot sector: check --fix"
count
"$vkdisk" check impossible.dsk --json 2>/dev/null | grep -q '"kind": "boot-sector"' ||
    fail "an impossible boot sector is not named"
expect_rc 2 "a missing image" "$vkdisk" check missing.dsk

# Undelete: a file vkdisk rm deleted and one mdel deleted come back byte for byte.
cp base.dsk undel.dsk
"$vkdisk" rm undel.dsk ONE.BIN --force >/dev/null 2>&1
mdel -i undel.dsk ::DIR/X.TXT
listed=$("$vkdisk" undelete undel.dsk 2>&1)
count
has "$listed" '^\?NE\.BIN ' && has "$listed" '^DIR/\?\.TXT ' || fail "undelete lists: $listed"
expect_rc 0 "undelete ?NE.BIN --first O" "$vkdisk" undelete undel.dsk '?NE.BIN' --first O
expect_rc 0 "undelete DIR/X.TXT" "$vkdisk" undelete undel.dsk DIR/X.TXT --first x
rm -rf out && mkdir out
"$vkdisk" get undel.dsk ONE.BIN DIR/X.TXT -d out >/dev/null 2>&1
same_file ONE.BIN out/ONE.BIN "a file vkdisk rm deleted, undeleted"
same_file X.TXT out/X.TXT "a file mdel deleted, undeleted"
check "fsck.fat -n after undelete" fsck_clean undel.dsk
# A folder rmdir removed comes back with what it held.
"$vkdisk" mkdir undel.dsk SUB >/dev/null 2>&1
"$vkdisk" add undel.dsk TWO.BIN --to SUB >/dev/null 2>&1
"$vkdisk" rm undel.dsk SUB/TWO.BIN --force >/dev/null 2>&1
"$vkdisk" rmdir undel.dsk SUB --yes >/dev/null 2>&1
expect_rc 0 "undelete a folder" "$vkdisk" undelete undel.dsk '?UB' --first S
expect_rc 0 "undelete a file in it" "$vkdisk" undelete undel.dsk 'SUB/?WO.BIN' --first T
rm -rf out && mkdir out
"$vkdisk" get undel.dsk SUB/TWO.BIN -d out >/dev/null 2>&1
same_file TWO.BIN out/TWO.BIN "a file in an undeleted folder, undeleted"
check "fsck.fat -n after undeleting a folder" fsck_clean undel.dsk
# A deleted file whose clusters a new file took is refused, the image kept.
"$vkdisk" rm undel.dsk ONE.BIN --force >/dev/null 2>&1
head -c 2000 /dev/urandom > NEW.BIN
"$vkdisk" add undel.dsk NEW.BIN >/dev/null 2>&1
cp undel.dsk was.dsk
expect_rc 1 "undelete of a file whose clusters are taken" "$vkdisk" undelete undel.dsk '?NE.BIN'
same_file was.dsk undel.dsk "a refused undelete"

summary vkdisk_check
