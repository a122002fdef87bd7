#!/usr/bin/env bash
# vkdisk add and get judged by the outside tools: what vkdisk adds comes out
# of mcopy unchanged and passes fsck.fat; what mtools writes comes out of
# vkdisk get unchanged, with its time stamp and read-only bit; failures leave
# the image file byte for byte as it was.
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# Runs vkdisk without a terminal (questions get the answer that changes nothing).
vk() { "$vkdisk" "$@" </dev/null 2>>"$work/stderr.log"; }

mkdir -p "$work/host" "$work/out" "$work/out2"
cd "$work/host" || exit 1
: > empty.bin
printf 'x' > one.bin
head -c 1024 /dev/urandom > exact.bin
head -c 1025 /dev/urandom > over.bin
head -c 50000 /dev/urandom > big.bin
head -c 300 /dev/urandom > 'Letter to Bob.doc'
head -c 700 /dev/urandom > locked.txt
chmod a-w locked.txt
touch -d '2011-05-06 07:08:10' big.bin

# --- add ----------------------------------------------------------------------
img="$work/a.dsk"
expect_rc 0 "new" "$vkdisk" new "$img" --boot msdos
expect_rc 0 "add six files" "$vkdisk" add "$img" empty.bin one.bin exact.bin over.bin big.bin 'Letter to Bob.doc' locked.txt
check "after add: fsck.fat finds the image clean" fsck_clean "$img"
for pair in empty.bin:EMPTY.BIN one.bin:ONE.BIN exact.bin:EXACT.BIN over.bin:OVER.BIN big.bin:BIG.BIN \
            'Letter to Bob.doc:*.DOC' locked.txt:LOCKED.TXT; do
    # mtools cannot name "LETTER T.DOC" with its blank; the only .DOC serves.
    host=${pair%%:*}; dos=${pair#*:}
    rm -f "$work/m.out"
    mcopy -n -i "$img" "::$dos" "$work/m.out" 2>/dev/null || { count; fail "mcopy ::$dos"; continue; }
    same_file "$host" "$work/m.out" "added $dos"
done
count; mattrib -i "$img" ::LOCKED.TXT | sed 's/::.*//' | grep -q R || fail "LOCKED.TXT lost its read-only bit: $(mattrib -i "$img" ::LOCKED.TXT)"
count; mdir -i "$img" :: | grep -q 'BIG *BIN *50000 2011-05-06 *7:08' || fail "BIG.BIN stamp: $(mdir -i "$img" :: | grep BIG)"

# An existing name without --force is declined (no terminal): nothing saved,
# and the exit code and a line say what was left out; --no declines quietly.
cp "$img" "$work/before.dsk"
head -c 99 /dev/urandom > one.bin
expect_rc 1 "replace declined for want of a terminal" "$vkdisk" add "$img" one.bin
same_file "$img" "$work/before.dsk" "declined replace leaves the image"
count; grep -q "no terminal to ask.*: one.bin" "$work/stderr.log" || fail "the skipped file is not named: $(cat "$work/stderr.log")"
expect_rc 0 "replace declined by --no" "$vkdisk" add "$img" one.bin --no
same_file "$img" "$work/before.dsk" "add --no leaves the image"
expect_rc 0 "forced replace" "$vkdisk" add "$img" one.bin --force
check "after replace: fsck.fat finds the image clean" fsck_clean "$img"
rm -f "$work/m.out"; mcopy -n -i "$img" ::ONE.BIN "$work/m.out" 2>/dev/null
same_file one.bin "$work/m.out" "replaced ONE.BIN"

# Failures leave the image file untouched.
cp "$img" "$work/before.dsk"
head -c 800000 /dev/urandom > huge.bin
expect_rc 1 "disk full" "$vkdisk" add "$img" huge.bin
stderr_has "Disk full!" "disk full is reported"
same_file "$img" "$work/before.dsk" "disk full leaves the image"
expect_rc 1 "missing host file" "$vkdisk" add "$img" one.bin no-such-file
same_file "$img" "$work/before.dsk" "a failed second file leaves the first unsaved"

# Only plain files and folders are added: devices, pipes, sockets and files
# that hold more than their size says are refused, image and .der unchanged.
printf 'DiskImage errors\r\n\032\000' > "$work/a.der"
head -c 180 /dev/zero | tr '\0' '\1' >> "$work/a.der"
cp "$work/a.der" "$work/before.der"
mkfifo fifo
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' sock
for odd in fifo sock /dev/null /proc/self/status; do
    [ -e "$odd" ] || continue
    expect_rc 1 "add $odd" timeout 10 "$vkdisk" add "$img" one.bin "$odd"
    same_file "$img" "$work/before.dsk" "refused $odd leaves the image"
    same_file "$work/a.der" "$work/before.der" "refused $odd leaves the .der"
    count; grep -q "Cannot add '$odd'" "$work/stderr.log" || fail "$odd: no refusal: $(cat "$work/stderr.log")"
done
rm -f fifo sock "$work/a.der"

# A host folder becomes an empty subdirectory of its own, which mtools writes into.
mkdir -p sub
expect_rc 0 "add folder" "$vkdisk" add "$img" sub
count; mdir -i "$img" :: | grep -q '^SUB *<DIR>' || fail "SUB is no directory entry: $(mdir -i "$img" :: | grep SUB)"
check "fsck.fat finds the image clean after adding a folder" fsck_clean "$img"
mcopy -i "$img" one.bin ::/SUB/ 2>>"$work/stderr.log"
count; [ "$(mdir -i "$img" -b ::/SUB)" = "::/SUB/one.bin" ] || fail "mcopy into SUB: $(mdir -i "$img" ::/SUB)"
count; mdir -i "$img" :: | grep -q '^ONE *BIN *99 ' || fail "mcopy into SUB changed the root: $(mdir -i "$img" :: | grep ONE)"
# A file never replaces a folder, not even with --force; the image stays as it was.
cp "$img" "$work/before.dsk"
mkdir -p "$work/clash" && printf 'x' > "$work/clash/sub"
expect_rc 1 "file over a folder" "$vkdisk" add "$img" "$work/clash/sub" --force
same_file "$img" "$work/before.dsk" "a file over a folder leaves the image"
count; grep -q "A directory of the same name exists" "$work/stderr.log" || fail "file over a folder was not reported"

# --- get ----------------------------------------------------------------------
src="$work/m.dsk"
mkfs.fat -C "$src" 720 >/dev/null
mcopy -m -i "$src" big.bin ::BIG.BIN
mcopy -m -i "$src" exact.bin ::EXACT.BIN
mcopy -m -i "$src" empty.bin ::EMPTY.BIN
mcopy -m -i "$src" locked.txt ::NOTES.TXT
mattrib -i "$src" +r ::NOTES.TXT
mmd -i "$src" ::FOLDER
mlabel -i "$src" ::MYDISK
expect_rc 0 "get one file" "$vkdisk" get "$src" big.bin -d "$work/out"
same_file big.bin "$work/out/BIG.BIN" "extracted BIG.BIN"
count; [ "$(stat -c %Y "$work/out/BIG.BIN")" = "$(stat -c %Y big.bin)" ] || fail "BIG.BIN time stamp differs"
expect_rc 0 "get by wildcard" "$vkdisk" get "$src" '*.txt' 'e?act.*' -d "$work/out"
same_file locked.txt "$work/out/NOTES.TXT" "extracted NOTES.TXT"
same_file exact.bin "$work/out/EXACT.BIN" "extracted EXACT.BIN"
count; stat -c %A "$work/out/NOTES.TXT" | grep -q '^-r-' || fail "NOTES.TXT not read-only: $(stat -c %A "$work/out/NOTES.TXT")"
expect_rc 1 "name matching nothing" "$vkdisk" get "$src" nothing.txt -d "$work/out"
# Extracted files get the mode a file created in their place gets: the umask takes its share.
mkdir "$work/masked"
(umask 027 && "$vkdisk" get "$src" big.bin notes.txt -d "$work/masked" </dev/null 2>>"$work/stderr.log")
for pair in BIG.BIN:640 NOTES.TXT:440; do
    count; [ "$(stat -c %a "$work/masked/${pair%%:*}")" = "${pair##*:}" ] ||
        fail "${pair%%:*} under umask 027: mode $(stat -c %a "$work/masked/${pair%%:*}"), not ${pair##*:}"
done

# An existing host file is kept without --force (exit 1 without a terminal
# to ask, 0 with --no), replaced with it.
printf 'old' > "$work/out/EXACT.BIN"
expect_rc 1 "overwrite declined for want of a terminal" "$vkdisk" get "$src" EXACT.BIN -d "$work/out"
count; [ "$(cat "$work/out/EXACT.BIN")" = old ] || fail "EXACT.BIN was overwritten without a yes"
count; grep -q "no terminal to ask.*: EXACT.BIN" "$work/stderr.log" || fail "the kept file is not named: $(cat "$work/stderr.log")"
expect_rc 0 "overwrite declined by --no" "$vkdisk" get "$src" EXACT.BIN -d "$work/out" --no
count; [ "$(cat "$work/out/EXACT.BIN")" = old ] || fail "EXACT.BIN was overwritten after --no"
expect_rc 0 "forced overwrite" "$vkdisk" get "$src" EXACT.BIN -d "$work/out" --force
same_file exact.bin "$work/out/EXACT.BIN" "overwritten EXACT.BIN"

# --all extracts every file and the (empty) folder, never the label.
expect_rc 0 "get --all" "$vkdisk" get "$src" --all -d "$work/out2"
for f in BIG.BIN EXACT.BIN EMPTY.BIN NOTES.TXT; do count; [ -f "$work/out2/$f" ] || fail "--all missed $f"; done
count; [ -d "$work/out2/FOLDER" ] && [ -z "$(ls -A "$work/out2/FOLDER")" ] || fail "--all did not make the empty FOLDER"
count; [ ! -e "$work/out2/MYDISK" ] || fail "--all wrote the label"

# Names no host allows never lead out of the target folder.
bad="$work/bad.dsk"
mkfs.fat -C "$bad" 720 >/dev/null
mcopy -i "$bad" one.bin ::XXXXXXXX.TXT
mcopy -i "$bad" one.bin ::YYYYYYYY.BIN
root=$((512 * (1 + 2 * 3)))
printf 'A/B     ' | dd of="$bad" bs=1 seek=$root conv=notrunc status=none
printf '..      ' | dd of="$bad" bs=1 seek=$((root + 32)) conv=notrunc status=none
printf '   '      | dd of="$bad" bs=1 seek=$((root + 40)) conv=notrunc status=none
mkdir -p "$work/jail/in"
expect_rc 0 "get odd names" "$vkdisk" get "$bad" --all -d "$work/jail/in"
count; [ -f "$work/jail/in/A_B.TXT" ] && [ -f "$work/jail/in/__" ] || fail "odd names not made safe: $(ls -A "$work/jail/in")"
count; [ -z "$(ls -A "$work/jail" | grep -v '^in$')" ] || fail "a name escaped the folder: $(ls -A "$work/jail")"

# Two entries that land on one host name: the first keeps it, the second
# gets a tail and is named, even with --force.
mcopy -i "$bad" over.bin ::A_B.TXT
rm -rf "$work/twins"; mkdir "$work/twins"
expect_rc 0 "get --all with two entries for one host name" "$vkdisk" get "$bad" --all -d "$work/twins" --force
same_file one.bin "$work/twins/A_B.TXT" "the first of two entries for one host name"
same_file over.bin "$work/twins/A_B~1.TXT" "the second of two entries for one host name"
count; grep -q "A_B.TXT was written as .*A_B~1.TXT" "$work/stderr.log" || fail "the second twin is not named: $(cat "$work/stderr.log")"

# A link standing in the target folder is replaced itself, never followed.
rm -rf "$work/linked"; mkdir "$work/linked"
printf 'precious' > "$work/outside.txt"
ln -s ../outside.txt "$work/linked/NOTES.TXT"
expect_rc 0 "get over a link" "$vkdisk" get "$src" NOTES.TXT -d "$work/linked" --force
count; [ "$(cat "$work/outside.txt")" = precious ] || fail "get wrote through a link to outside.txt"
count; [ ! -L "$work/linked/NOTES.TXT" ] || fail "the link is still there"
same_file locked.txt "$work/linked/NOTES.TXT" "NOTES.TXT extracted in the link's place"

# The image being read is never a target, nor its .der.
rm -rf "$work/self"; mkdir "$work/self"
game="$work/self/GAME.DSK"
cp "$src" "$game"
mcopy -i "$game" one.bin ::GAME.DSK
mcopy -i "$game" one.bin ::GAME.DER
printf 'DiskImage errors\r\n\032\000' > "$work/self/GAME.der"
head -c 180 /dev/zero >> "$work/self/GAME.der"
cp "$game" "$work/game.before"; cp "$work/self/GAME.der" "$work/der.before"
expect_rc 1 "get onto the image itself" bash -c 'cd "$1" && "$2" get GAME.DSK GAME.DSK -d . --force' _ "$work/self" "$vkdisk"
same_file "$game" "$work/game.before" "get onto the image leaves it"
count; grep -q "open disk-image" "$work/stderr.log" || fail "get onto the image is not reported: $(cat "$work/stderr.log")"
ln -s GAME.DSK "$work/self/ALIAS.DSK"
expect_rc 1 "get onto the image by a link" "$vkdisk" get "$work/self/ALIAS.DSK" GAME.DSK -d "$work/self" --force
same_file "$game" "$work/game.before" "get onto the image by a link leaves it"
# The .der beside GAME.DSK is GAME.der: an entry of that very name, in lower case.
python3 - "$game" <<'PY'
import sys
p = sys.argv[1]
b = open(p, 'rb').read()
open(p, 'wb').write(b.replace(b'GAME    DER', b'GAME    der', 1))
PY
cp "$game" "$work/game.before"
expect_rc 1 "get onto the image's .der" "$vkdisk" get "$game" GAME.der -d "$work/self" --force
same_file "$work/self/GAME.der" "$work/der.before" "get onto the .der leaves it"
same_file "$game" "$work/game.before" "get onto the .der leaves the image"

# A corrupt chain is reported, never read beyond.
loop="$work/loop.dsk"
cp "$src" "$loop"
python3 - "$loop" <<'PY'
import sys
p = sys.argv[1]
b = bytearray(open(p, 'rb').read())
# BIG.BIN is the first file: clusters 2.. ; make cluster 3 link back to 2.
fat = 512
def put(n, v):
    o = fat + n * 3 // 2
    pair = b[o] | b[o + 1] << 8
    pair = (pair & 0x000F) | (v << 4) if n & 1 else (pair & 0xF000) | v
    b[o], b[o + 1] = pair & 0xFF, pair >> 8
put(3, 2)
open(p, 'wb').write(b)
PY
expect_rc 1 "circular chain" "$vkdisk" get "$loop" BIG.BIN -d "$work/jail" --force
count; [ "$(stat -c %s "$work/jail/BIG.BIN")" = 2048 ] || fail "circular chain wrote $(stat -c %s "$work/jail/BIG.BIN") bytes"
count; grep -q "stored file is corrupted" "$work/stderr.log" || fail "circular chain not reported"

# --- usage --------------------------------------------------------------------
expect_rc 2 "add without files" "$vkdisk" add "$img"
expect_rc 2 "get without names" "$vkdisk" get "$src"
expect_rc 2 "get --all without folder" "$vkdisk" get "$src" --all
expect_rc 2 "get --all with names" "$vkdisk" get "$src" --all X -d "$work/out"
expect_rc 0 "add --help" "$vkdisk" add --help >/dev/null
expect_rc 0 "get --help" "$vkdisk" get --help >/dev/null

summary vkdisk_transfer
