#!/usr/bin/env bash
# Images kept in gzip and zip files, changed in place: unpacked afterwards
# by gzip and by Python's zipfile, the image passes fsck.fat -n and mtools
# reads the change; the zip's other members keep their bytes, names, times
# and comments. A zip with two images needs --member; damaged containers are
# refused and left as they were; a save stopped before each of its changes
# to the file system leaves the old container (VK_KILL_AT_WRITE).
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$work" || exit 1

"$vkdisk" new base.dsk --format F9 --boot msdos >/dev/null
printf 'old file\n' > OLD.TXT
"$vkdisk" add base.dsk OLD.TXT >/dev/null 2>&1
head -c 30000 /dev/urandom > NEW.BIN

# The change every round trip makes, and what the unpacked image must show.
change() {  # change CONTAINER [OPTIONS...]
    expect_rc 0 "add to $1" "$vkdisk" add "$@" NEW.BIN
    expect_rc 0 "mkdir in $1" "$vkdisk" mkdir "$@" SUB
    expect_rc 0 "rm in $1" "$vkdisk" rm "$@" OLD.TXT --yes
}
judge() {  # judge IMAGE WHAT
    check "$2: fsck.fat -n finds nothing" fsck_clean "$1"
    count; mtype -i "$1" ::NEW.BIN > got.bin 2>/dev/null && cmp -s got.bin NEW.BIN || fail "$2: mtools reads another NEW.BIN"
    count; mdir -i "$1" ::SUB >/dev/null 2>&1 || fail "$2: mtools finds no folder SUB"
    count; mdir -i "$1" ::OLD.TXT >/dev/null 2>&1 && fail "$2: OLD.TXT is still there"
}

# --- gzip ---------------------------------------------------------------------------
cp base.dsk disk.dsk && gzip disk.dsk
change disk.dsk.gz
check "gzip -t passes the saved file" gzip -t disk.dsk.gz
gzip -dc disk.dsk.gz > unpacked.dsk
judge unpacked.dsk "disk.dsk.gz"
count; head -c 40 disk.dsk.gz | grep -aq 'disk\.dsk' || fail "the gzip header lost the file's name"
# Known by its content under any name.
cp disk.dsk.gz packed.img
out=$("$vkdisk" ls packed.img 2>&1)
count; has "$out" 'NEW\.BIN +30000' || fail "a gzip file named .img is not read: $out"

# The container added to the image it holds: refused in so many words, nothing saved.
cp disk.dsk.gz before.gz
out=$("$vkdisk" add disk.dsk.gz disk.dsk.gz 2>&1 </dev/null); rc=$?
count; [ $rc -ne 0 ] && has "$out" 'cannot be added to itself' || fail "adding the container to itself ($rc): $out"
check "a refused add leaves the container as it was" cmp -s before.gz disk.dsk.gz

# --- zip with two other members -------------------------------------------------------
python3 - <<'PY'
import zipfile
with zipfile.ZipFile('games.zip', 'w') as z:
    i = zipfile.ZipInfo('README.TXT', (1999, 12, 31, 23, 59, 58))
    i.comment = b'read me first'
    i.compress_type = zipfile.ZIP_DEFLATED
    z.writestr(i, b'hello ' * 500)
    i = zipfile.ZipInfo('GAME.DSK', (2001, 2, 3, 4, 5, 6))
    i.compress_type = zipfile.ZIP_DEFLATED
    i.comment = b'the disk'
    z.write('base.dsk', 'GAME.DSK', zipfile.ZIP_DEFLATED)
    i = zipfile.ZipInfo('EXTRA/COVER.BIN', (1990, 6, 7, 8, 9, 10))
    i.extra = b'\xfe\xca\x04\x00abcd'
    z.writestr(i, bytes(range(256)) * 20)
    z.comment = b'archive comment'
PY
cp games.zip games.before.zip
change games.zip
python3 - <<'PY' >zipcheck.log 2>&1
import sys, zipfile
old, new = zipfile.ZipFile('games.before.zip'), zipfile.ZipFile('games.zip')
bad = []
if new.testzip() is not None: bad.append('testzip: ' + new.testzip())
if [i.filename for i in old.infolist()] != [i.filename for i in new.infolist()]: bad.append('member names or order')
if new.comment != old.comment: bad.append('archive comment')
raw_old, raw_new = open('games.before.zip', 'rb').read(), open('games.zip', 'rb').read()
def span(raw, i):  # local header, name, extra and data as stored
    n, e = int.from_bytes(raw[i.header_offset+26:i.header_offset+28], 'little'), int.from_bytes(raw[i.header_offset+28:i.header_offset+30], 'little')
    return raw[i.header_offset:i.header_offset + 30 + n + e + i.compress_size]
for a, b in zip(old.infolist(), new.infolist()):
    keep = ('filename', 'date_time', 'comment', 'extra', 'compress_type', 'CRC', 'file_size', 'external_attr')
    if a.filename == 'GAME.DSK':
        if b.comment != a.comment: bad.append('GAME.DSK comment')
        continue
    for f in keep:
        if getattr(a, f) != getattr(b, f): bad.append(a.filename + ' ' + f)
    if span(raw_old, a) != span(raw_new, b): bad.append(a.filename + ' stored bytes')
open('GAME.DSK', 'wb').write(new.read('GAME.DSK'))
print('\n'.join(bad)); sys.exit(1 if bad else 0)
PY
count; [ $? -eq 0 ] || fail "the other zip members changed: $(cat zipcheck.log)"
judge GAME.DSK "games.zip"

# --- a zip with two images needs --member --------------------------------------------
python3 -c "
import zipfile
with zipfile.ZipFile('two.zip', 'w', zipfile.ZIP_DEFLATED) as z:
    z.write('base.dsk', 'A.DSK'); z.write('base.dsk', 'B.DSK')"
cp two.zip two.before.zip
expect_rc 1 "ls of a zip with two images and no --member" "$vkdisk" ls two.zip
stderr_has "B.DSK" "the refusal lists the members"
stderr_has "--member" "the refusal names --member"
expect_rc 1 "a member the zip lacks" "$vkdisk" ls two.zip --member C.DSK
change two.zip --member B.DSK
python3 -c "
import zipfile; z = zipfile.ZipFile('two.zip'); o = zipfile.ZipFile('two.before.zip')
open('B.DSK', 'wb').write(z.read('B.DSK')); assert z.read('A.DSK') == o.read('A.DSK')" 2>/dev/null
check "A.DSK of two.zip is left as it was" [ $? -eq 0 ]
judge B.DSK "two.zip --member B.DSK"

# --- damaged containers are refused and left alone ------------------------------------
cp base.dsk d.dsk && gzip -c d.dsk > good.gz
head -c $(($(stat -c %s good.gz) / 2)) good.gz > cut.gz
python3 -c "
b = bytearray(open('good.gz','rb').read()); b[-8] ^= 0xFF; open('crc.gz','wb').write(b)
b = bytearray(open('games.zip','rb').read()); open('cut.zip','wb').write(b[:len(b)//2])"
for f in cut.gz crc.gz cut.zip; do
    cp "$f" "$f.before"
    expect_rc 1 "add to damaged $f" "$vkdisk" add "$f" NEW.BIN
    stderr_has "$f" "the refusal of $f names it"
    same_file "$f" "$f.before" "damaged $f after the refused add"
done

# --- a save stopped before each of its changes leaves the old container ---------------
for c in disk.dsk.gz games.zip; do
    cp "$c" "kill.$c"
    stopped=0
    for n in $(seq 1 30); do
        cp "kill.$c" "k.$c"
        { VK_KILL_AT_WRITE=$n "$vkdisk" add "k.$c" OLD.TXT </dev/null >/dev/null 2>kill.log; } 2>/dev/null
        rc=$?
        [ $rc -eq 137 ] || break
        stopped=$((stopped + 1))
        same_file "k.$c" "kill.$c" "$c stopped before change $n"
    done
    count; [ $rc -eq 0 ] && [ $stopped -ge 2 ] || fail "$c: exit $rc after $stopped stops (fault hook built in?): $(cat kill.log)"
    count; cmp -s "k.$c" "kill.$c" && fail "$c: the save that ran to its end changed nothing"
    count; [ -z "$(ls -A | grep "^\.k\.")" ] || fail "$c: temporary files left: $(ls -A | grep '^\.k\.')"
done

summary vkdisk_containers
