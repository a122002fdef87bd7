#!/usr/bin/env bash
# One command never writes over its own output: entries of one host name
# come out under distinct names, host files of one 8.3 name go in under
# distinct names; links to folders are not followed by add -r; and the
# messages of the read-only commands, rmdir, ren and add name the right thing.
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# An image whose folder SUB holds A:B.TXT, A?B.TXT and A_B.TXT (bytes no host
# name may hold, written by hand as other systems leave them), and
# A_B~1.TXT at the top, which a tail must not land on.
clash_image() {  # clash_image IMAGE
    mkfs.fat -C "$1" 1440 >/dev/null
    mmd -i "$1" ::SUB
    printf 'colon' > "$work/c"; printf 'query' > "$work/q"; printf 'under' > "$work/u"
    mcopy -i "$1" "$work/c" ::SUB/AXB.TXT
    mcopy -i "$1" "$work/q" ::SUB/AYB.TXT
    mcopy -i "$1" "$work/u" ::SUB/A_B.TXT
    python3 - "$1" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
for old, new in ((b'AXB     TXT', b'A:B     TXT'), (b'AYB     TXT', b'A?B     TXT')):
    at = data.find(old)
    assert at > 0 and data.find(old, at + 1) < 0
    data[at:at + 11] = new
open(sys.argv[1], 'wb').write(data)
PY
}

# --- extraction: three entries of one host name, three files ------------------
img="$work/clash.dsk"
clash_image "$img"
for force in --force ""; do
    out="$work/out$force"
    mkdir -p "$out"
    expect_rc 0 "get -r ${force:-without --force}" "$vkdisk" get "$img" SUB -d "$out" $force
    same_file "$work/c" "$out/SUB/A_B.TXT" "A:B.TXT keeps the name (${force:-asked})"
    same_file "$work/q" "$out/SUB/A_B~1.TXT" "A?B.TXT gets the first tail (${force:-asked})"
    same_file "$work/u" "$out/SUB/A_B~2.TXT" "A_B.TXT gets the second tail (${force:-asked})"
    stderr_has "A_B~2.TXT" "the tail is named"
    count; hasnt "$(cat "$work/stderr.log")" "Replace" || fail "asked about a file this run wrote"
done
# A tail never lands on a host file that was there: the first name is asked about, the tail skips on.
out="$work/pre"
mkdir -p "$out/SUB"
printf 'old' > "$out/SUB/A_B~1.TXT"
expect_rc 0 "get over a host tail name" "$vkdisk" get "$img" SUB -d "$out" --force
count; [ "$(cat "$out/SUB/A_B~1.TXT")" = old ] || fail "the host's A_B~1.TXT was overwritten"
same_file "$work/q" "$out/SUB/A_B~2.TXT" "the tail passes the host's file"
same_file "$work/u" "$out/SUB/A_B~3.TXT" "and the next one after it"

# --- add: host files of one 8.3 name ------------------------------------------
mkdir -p "$work/h/d"
printf 'abc-dots' > "$work/h/d/a.b.c"; printf 'ab-c' > "$work/h/d/ab.c"
printf 'long one' > "$work/h/d/longname1.txt"; printf 'long two' > "$work/h/d/longname2.txt"
printf 'alone' > "$work/h/d/single.txt"
img="$work/add.dsk"
mkfs.fat -C "$img" 1440 >/dev/null
expect_rc 0 "add -r of clashing names" "$vkdisk" add "$img" "$work/h/d" -r --force
for pair in a.b.c:AB~1.C ab.c:AB~2.C longname1.txt:LONGNA~1.TXT longname2.txt:LONGNA~2.TXT single.txt:SINGLE.TXT; do
    rm -f "$work/m.out"
    mcopy -n -i "$img" "::D/${pair#*:}" "$work/m.out" 2>/dev/null || { count; fail "no D/${pair#*:}"; continue; }
    same_file "$work/h/d/${pair%%:*}" "$work/m.out" "added ${pair%%:*} as ${pair#*:}"
done
stderr_has "LONGNA~2.TXT" "the tail is named"
check "fsck.fat finds the added tails clean" fsck_clean "$img"
# An entry that was there before the command is still replaced after the question.
printf 'new one' > "$work/h/one.txt"
expect_rc 0 "add one file" "$vkdisk" add "$img" "$work/h/one.txt"
printf 'newer' > "$work/h/one.txt"
expect_rc 0 "add it again with --force" "$vkdisk" add "$img" "$work/h/one.txt" --force
count; [ "$(mtype -i "$img" ::ONE.TXT)" = newer ] || fail "a single add no longer replaces: $(mdir -i "$img" ::)"

# --- add -r: links to folders -------------------------------------------------
mkdir -p "$work/l/real"
printf 'data' > "$work/l/real/f.txt"
ln -s / "$work/l/root"
ln -s .. "$work/l/up"
ln -s real/f.txt "$work/l/flink.txt"
img="$work/link.dsk"
mkfs.fat -C "$img" 1440 >/dev/null
expect_rc 1 "add -r with links to folders" "$vkdisk" add "$img" "$work/l" -r
stderr_has "l/root is a link to a folder" "the link to / is named"
stderr_has "l/up is a link to a folder" "the link to .. is named"
count; hasnt "$(mdir -i "$img" ::L 2>&1)" "ROOT|UP " || fail "a link became a folder: $(mdir -i "$img" ::L)"
count; [ "$(mtype -i "$img" ::L/FLINK.TXT)" = data ] || fail "a link to a file no longer adds the file"
count; [ "$(mtype -i "$img" ::L/REAL/F.TXT)" = data ] || fail "the real folder was not added"

# --- messages -----------------------------------------------------------------
img="$work/msg.dsk"
mkfs.fat -C "$img" 1440 >/dev/null
mmd -i "$img" ::A
printf 'x' > "$work/x"
mcopy -i "$img" "$work/x" ::A/X.DAT
mcopy -i "$img" "$work/x" ::FILE.TXT
# FAT copy 2 made to differ from copy 1 (an unused entry at its end).
python3 - "$img" <<'PY'
import sys
f = open(sys.argv[1], 'r+b')
f.seek(512 + 9 * 512 + 9 * 512 - 1); f.write(b'\x01')
PY
cp "$img" "$work/msg.orig"
mkdir -p "$work/got"
for cmd in "ls" "info" "get|FILE.TXT -d $work/got" "label" "attr|FILE.TXT"; do
    words=${cmd#*|}; [ "$words" = "$cmd" ] && words=""
    # shellcheck disable=SC2086
    expect_rc 0 "${cmd%%|*} on a differing backup FAT" "$vkdisk" "${cmd%%|*}" "$img" $words >/dev/null
    # Stated as a warning, not put as a question.
    stderr_has "warning: The backup copy of the FAT" "${cmd%%|*} states the backup FAT"
done
same_file "$work/msg.orig" "$img" "the read-only commands left the image alone"
expect_rc 1 "rmdir of a file" "$vkdisk" rmdir "$img" FILE.TXT --force
stderr_has "FILE.TXT is not a folder" "rmdir names a file as no folder"
expect_rc 0 "ren with the folder repeated" "$vkdisk" ren "$img" A/X.DAT A/Z.DAT
count; [ "$(mtype -i "$img" ::A/Z.DAT)" = x ] || fail "A/X.DAT was not renamed to A/Z.DAT: $(mdir -i "$img" ::A)"
expect_rc 1 "ren into another folder" "$vkdisk" ren "$img" A/Z.DAT FILE2.TXT/../B.DAT
expect_rc 1 "ren into another folder" "$vkdisk" ren "$img" A/Z.DAT /B.DAT
stderr_has "another folder" "ren says it never moves"
expect_rc 2 "add of an empty name" "$vkdisk" add "$img" ""
stderr_has 'argument 1 is empty' "add names the empty argument"
# A short name cut from UTF-8 ends on a whole character.
printf 'u' > "$work/h/aääää.txt"
expect_rc 0 "add a UTF-8 name" "$vkdisk" add "$img" "$work/h/aääää.txt"
count; python3 - "$img" <<'PY' || fail "a short name ends in half a character"
import sys
data = open(sys.argv[1], 'rb').read()
root = 512 * (1 + 9 + 9)
names = [data[o:o + 8].rstrip(b' ') for o in range(root, root + 224 * 32, 32) if data[o + 1:o + 2] == b'\xc3']
assert len(names) == 1 and names[0].decode('utf-8').lower() == 'a' + 'ä' * 3, names
PY

summary vkdisk_names
