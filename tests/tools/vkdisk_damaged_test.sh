#!/usr/bin/env bash
# Damaged disks lose nothing: on small images named after their fault, a
# change that would free or reuse a cluster another entry still owns is
# refused with a nonzero exit and the image byte for byte as it was, and
# every file still extracts to its old bytes after the changes that are
# allowed. Boot sectors that describe no possible disk open read-only.
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Patches an image in place: "entry PATH CLUSTER" sets the first cluster of
# the entry at PATH, "fat N VALUE" sets FAT12 entry N in every FAT copy,
# "byte OFFSET VALUE" and "word OFFSET VALUE" set boot-sector fields.
# "first PATH" prints the entry's first cluster.
patch() {  # patch IMAGE OP ARGS...
    python3 - "$@" <<'PY'
import struct, sys
path, op, *args = sys.argv[1:]
b = bytearray(open(path, 'rb').read())
bps, spc = struct.unpack_from('<H', b, 11)[0], b[13]
res, nfat, nroot = struct.unpack_from('<H', b, 14)[0], b[16], struct.unpack_from('<H', b, 17)[0]
spf = struct.unpack_from('<H', b, 22)[0]
root = (res + nfat * spf) * bps
data = root + nroot * 32
csize = spc * bps
def fat(n):
    p = res * bps + n * 3 // 2
    v = struct.unpack_from('<H', b, p)[0]
    return v >> 4 if n & 1 else v & 0xFFF
def set_fat(n, value):
    for copy in range(nfat):
        p = (res + copy * spf) * bps + n * 3 // 2
        v = struct.unpack_from('<H', b, p)[0]
        v = (v & 0x000F) | (value << 4) if n & 1 else (v & 0xF000) | value
        struct.pack_into('<H', b, p, v)
def slots(first):  # the slot offsets of a directory: the root for 0
    if first == 0:
        return [root + 32 * i for i in range(nroot)]
    out, c = [], first
    while 2 <= c < 0xFF0:
        start = data + (c - 2) * csize
        out += [start + 32 * i for i in range(csize // 32)]
        c = fat(c)
    return out
def find(p):
    first, entry = 0, None
    for part in p.upper().split('/'):
        base, _, ext = part.partition('.')
        name = base.ljust(8).encode() + ext.ljust(3).encode()
        entry = next(s for s in slots(first) if b[s:s + 11] == name)
        first = struct.unpack_from('<H', b, entry + 26)[0]
    return entry
if op == 'entry':
    struct.pack_into('<H', b, find(args[0]) + 26, int(args[1]))
elif op == 'first':
    print(struct.unpack_from('<H', b, find(args[0]) + 26)[0])
elif op == 'fat':
    set_fat(int(args[0]), int(args[1], 0))
elif op == 'byte':
    b[int(args[0], 0)] = int(args[1], 0)
elif op == 'word':
    struct.pack_into('<H', b, int(args[0], 0), int(args[1], 0))
open(path, 'wb').write(b)
PY
}

# Files of three clusters each (1.44 MB: one 512-byte sector per cluster).
for f in ONE TWO NEW; do head -c 1500 /dev/urandom > "$work/$f.BIN"; done
head -c 700 /dev/urandom > "$work/X.TXT"
fresh() {  # fresh IMAGE: ONE.BIN and TWO.BIN in the root, X.TXT in DIR
    mformat -C -f 1440 -i "$1" ::
    mcopy -i "$1" "$work/ONE.BIN" "$work/TWO.BIN" ::
    mmd -i "$1" ::DIR
    mcopy -i "$1" "$work/X.TXT" ::DIR
}
# Runs a change that must be refused: a nonzero exit, the image unchanged.
refused() {  # refused IMAGE DESCRIPTION VKDISK-ARGS...
    local img=$1 what=$2
    shift 2
    cp "$img" "$work/before.img"
    count
    "$vkdisk" "$@" </dev/null 2>"$work/stderr.log" && fail "$what: exit 0"
    same_file "$work/before.img" "$img" "$what: the image changed"
}
# Every file named still extracts to the bytes it had.
extracts_as() {  # extracts_as IMAGE DESCRIPTION NAME WANT...
    local img=$1 what=$2
    shift 2
    while [ $# -gt 0 ]; do
        rm -f "$work/got"
        mtype -i "$img" "::$1" > "$work/got" 2>/dev/null
        same_file "$2" "$work/got" "$what: $1"
        shift 2
    done
}

# --- a folder under two parents: A/SUB is also B/SUB2 ------------------------
img="$work/shared_folder.img"
mformat -C -f 1440 -i "$img" ::
mmd -i "$img" ::A ::A/SUB ::B ::B/SUB2
mcopy -i "$img" "$work/X.TXT" ::A/SUB
patch "$img" entry B/SUB2 "$(patch "$img" first A/SUB)"
refused "$img" "rmdir -r A of a shared folder" rmdir "$img" A -r --force
stderr_has "B.SUB2" "rmdir -r A names the other parent's folder"
extracts_as "$img" "shared folder" B/SUB2/X.TXT "$work/X.TXT"

# --- cross-links at the start and in the middle of a chain ------------------
for where in start middle; do
    img="$work/crosslink_$where.img"
    fresh "$img"
    one=$(patch "$img" first ONE.BIN)
    two=$(patch "$img" first TWO.BIN)
    if [ $where = start ]; then
        patch "$img" entry TWO.BIN "$one"
    else
        patch "$img" fat "$two" $((one + 1))  # TWO's second cluster is ONE's second
    fi
    mtype -i "$img" ::TWO.BIN > "$work/two_$where.old"
    refused "$img" "rm ONE.BIN cross-linked at the $where" rm "$img" ONE.BIN --force
    stderr_has "TWO.BIN" "rm ONE.BIN names TWO.BIN ($where)"
    refused "$img" "rm TWO.BIN cross-linked at the $where" rm "$img" TWO.BIN --force
    refused "$img" "add replacing ONE.BIN cross-linked at the $where" add "$img" "$work/ONE.BIN" --force
    # TWO's own clusters the patch left without an owner are lost, not free.
    lost=$(( (31 + two + 1) * 512 ))
    dd if="$img" of="$work/lost.old" bs=512 skip=$((lost / 512)) count=1 status=none
    expect_rc 0 "add NEW.BIN beside a cross-link ($where)" "$vkdisk" add "$img" "$work/NEW.BIN"
    dd if="$img" of="$work/lost.new" bs=512 skip=$((lost / 512)) count=1 status=none
    same_file "$work/lost.old" "$work/lost.new" "add took a lost cluster ($where)"
    extracts_as "$img" "cross-link at the $where" TWO.BIN "$work/two_$where.old" NEW.BIN "$work/NEW.BIN" \
        DIR/X.TXT "$work/X.TXT"
done

# --- a file whose chain is a folder's cluster --------------------------------
img="$work/file_under_folder.img"
fresh "$img"
patch "$img" entry ONE.BIN "$(patch "$img" first DIR)"
refused "$img" "rm of a file on a folder's cluster" rm "$img" ONE.BIN --force
stderr_has "DIR" "rm ONE.BIN names the folder"
expect_rc 0 "add NEW.BIN beside a file on a folder's cluster" "$vkdisk" add "$img" "$work/NEW.BIN"
extracts_as "$img" "file under a folder" DIR/X.TXT "$work/X.TXT" TWO.BIN "$work/TWO.BIN" NEW.BIN "$work/NEW.BIN"

# --- a chain into a free cluster: allocation passes over it ------------------
img="$work/chain_into_free.img"
fresh "$img"
two=$(patch "$img" first TWO.BIN)
patch "$img" fat $((two + 2)) 0  # TWO's last cluster reads free
offset=$(( (31 + two + 2) * 512 ))
dd if="$img" of="$work/tail.old" bs=1 skip=$offset count=512 status=none
expect_rc 0 "add NEW.BIN with a chain into a free cluster" "$vkdisk" add "$img" "$work/NEW.BIN"
dd if="$img" of="$work/tail.new" bs=1 skip=$offset count=512 status=none
same_file "$work/tail.old" "$work/tail.new" "the free cluster TWO.BIN reaches was taken"

# --- boot sectors that describe no possible disk ------------------------------
for fault in "no_sectors_per_fat word 0x16 0" "no_fats byte 0x10 0" "no_total_sectors word 0x13 0"; do
    set -- $fault
    img="$work/$1.img"
    fresh "$img"
    patch "$img" "$2" "$3" "$4"
    refused "$img" "rm '*' --force on $1" rm "$img" '*' --force
    refused "$img" "add on $1" add "$img" "$work/NEW.BIN"
    refused "$img" "mkdir on $1" mkdir "$img" NEWDIR
    count
    "$vkdisk" info "$img" 2>&1 | grep -q "kept read-only" || fail "info on $1 does not say it keeps the image read-only"
done

summary vkdisk_damaged
