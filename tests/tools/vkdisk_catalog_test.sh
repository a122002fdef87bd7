#!/usr/bin/env bash
# vkdisk catalog, find, and ls and info with --json, over a generated
# collection: sound images of three kinds filled by mtools, one of them
# gzipped and two in one zip with a text file, one with a FAT entry broken,
# one of random bytes, one too small, files that are no image.
# The catalogue must parse as JSON and as CSV, list for each sound image
# exactly the tree mtools extracts from it (paths, sizes, CRC32 and SHA-1
# of the bytes mcopy gives), mark the damaged and unreadable ones, and come
# out the same with one worker and with two.
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/lib.sh"

cd "$work" || exit 1
mkdir -p coll/games/msx coll/empty files
head -c 3000 /dev/urandom > files/PRIME.BAS
head -c 70000 /dev/urandom > files/BIG.DAT
head -c 1 /dev/urandom > files/ONE.BIN
: > files/EMPTY.TXT
head -c 5000 /dev/urandom > files/DEEP.ROM
"$vkdisk" new coll/dos1.dsk >/dev/null 2>&1
"$vkdisk" new coll/games/msx/dos2.DI2 --boot msxdos2 --format F8 >/dev/null 2>&1
"$vkdisk" new coll/games/pc.img --boot msdos --format F0 >/dev/null 2>&1
mcopy -i coll/dos1.dsk files/PRIME.BAS files/BIG.DAT files/EMPTY.TXT ::
mmd -i coll/games/msx/dos2.DI2 ::TOOLS ::TOOLS/DEEPER
mcopy -i coll/games/msx/dos2.DI2 files/ONE.BIN ::
mcopy -i coll/games/msx/dos2.DI2 files/DEEP.ROM ::TOOLS/DEEPER
mcopy -i coll/games/pc.img files/BIG.DAT files/ONE.BIN ::
mlabel -i coll/games/pc.img ::PCDISK
# Damaged: the first file's first FAT entry freed in both copies of the FAT.
cp coll/dos1.dsk coll/games/broken.flp
python3 - coll/games/broken.flp <<'PY'
import sys
with open(sys.argv[1], 'r+b') as f:
    b = bytearray(f.read())
    spf = int.from_bytes(b[22:24], 'little')
    for copy in range(b[16]):
        at = 512 + copy * spf * 512 + 3  # clusters 2 and 3 share bytes 3..5
        b[at] = 0
        b[at + 1] &= 0xF0
    f.seek(0)
    f.write(b)
PY
head -c 737280 /dev/urandom > coll/noise.dsk
head -c 100 /dev/urandom > coll/empty/tiny.dsk
echo "not an image" > coll/notes.txt
cp files/PRIME.BAS coll/PRIME.BAS
mkdir coll/packed
gzip -c coll/games/msx/dos2.DI2 > coll/packed/dos2.di2.gz
(cd coll && zip -q packed/two.zip dos1.dsk games/pc.img notes.txt)
sound="coll/dos1.dsk coll/games/msx/dos2.DI2 coll/games/pc.img"
for img in $sound; do check "$img is sound to fsck.fat" fsck_clean_msx "$img" || fsck_clean "$img"; done

expect_rc 1 "catalog of a collection with damaged images" sh -c '"$1" catalog coll --json --jobs 1 >/dev/null' - "$vkdisk"
cp "$work/stderr.log" stderr1.log
"$vkdisk" catalog coll --json --jobs 1 > one.json 2>/dev/null
"$vkdisk" catalog coll --json --jobs 2 > two.json 2>/dev/null
"$vkdisk" catalog coll --csv --jobs 1 > one.csv 2>/dev/null
"$vkdisk" catalog coll --csv --jobs 2 > two.csv 2>/dev/null
check "stderr without a terminal holds no progress line" test ! -s stderr1.log
same_file one.json two.json "JSON with --jobs 1 and --jobs 2"
same_file one.csv two.csv "CSV with --jobs 1 and --jobs 2"

# The trees mtools extracts, one folder per sound image.
for img in $sound; do
    mkdir -p "mt/$img" && mcopy -s -n -m -i "$img" ::/ "mt/$img/" || fail "mcopy -s of $img"
    check "mdir -/ -b of $img lists what mcopy extracted" test \
        "$(mdir -/ -b -i "$img" :: | sed 's|^::/||; s|/$||' | tr a-z A-Z | sort)" = \
        "$(cd "mt/$img" && find . -mindepth 1 | sed 's|^\./||' | tr a-z A-Z | sort)"
done

count
python3 - one.json one.csv $sound <<'PY' || fail "the catalogue against mtools"
import csv, hashlib, json, os, sys, zlib
records = json.load(open(sys.argv[1]))
sound = sys.argv[3:]
problems = []
def want(cond, what):
    if not cond: problems.append(what)
keys = [(r['path'], r['member'] or '') for r in records]
want(keys == sorted(keys), 'records not sorted by path: %s' % keys)
want(keys == [('coll/' + p, m) for p, m in [('dos1.dsk', ''), ('empty/tiny.dsk', ''), ('games/broken.flp', ''),
     ('games/msx/dos2.DI2', ''), ('games/pc.img', ''), ('noise.dsk', ''), ('packed/dos2.di2.gz', ''),
     ('packed/two.zip', 'dos1.dsk'), ('packed/two.zip', 'games/pc.img')]], 'images found: %s' % keys)
by = {r['path'] + ('/' + r['member'] if r['member'] else ''): r for r in records}
# Each sound image as found plain, gzipped and zipped, against mtools on the plain one.
copies = {'coll/dos1.dsk': ['coll/packed/two.zip/dos1.dsk'], 'coll/games/pc.img': ['coll/packed/two.zip/games/pc.img'],
          'coll/games/msx/dos2.DI2': ['coll/packed/dos2.di2.gz']}
want(by['coll/packed/dos2.di2.gz']['container'] == 'gzip', 'gzip container')
want(by['coll/packed/two.zip/dos1.dsk']['container'] == 'zip', 'zip container')
for img in sound:
    want(by[img]['size'] == os.path.getsize(img) and by[img]['container'] == 'none', img + ' size or container')
    for key in [img] + copies[img]:
        r = by[key]
        want(r['readable'] and r['check']['sound'] and r['check']['findings'] == 0, key + ' not sound')
    top = os.path.join('mt', img)
    tree = {}
    for d, dirs, files in os.walk(top):
        for n in dirs + files:
            p = os.path.join(d, n)
            key = os.path.relpath(p, top).upper()
            if os.path.isdir(p):
                tree[key] = ('D', 0, None, None)
            else:
                data = open(p, 'rb').read()
                tree[key] = ('', len(data), '%08x' % zlib.crc32(data), hashlib.sha1(data).hexdigest())
    for key in [img] + copies[img]:
        got = {f['path'].upper(): ('D' if 'D' in f['attributes'] else '', f['size'], f['crc32'], f['sha1'])
               for f in by[key]['files']}
        want(got == tree, '%s: catalogue %s, mtools %s' % (key, got, tree))
want(by['coll/games/pc.img']['boot'] == 'ms-dos' and by['coll/games/pc.img']['label'] == 'PCDISK',
     'pc.img boot or label: %s' % by['coll/games/pc.img'])
want(by['coll/dos1.dsk']['boot'] == 'msx-dos1', 'dos1 boot')
want(by['coll/games/msx/dos2.DI2']['boot'] == 'msx-dos2', 'dos2 boot')
broken = by['coll/games/broken.flp']
want(broken['readable'] and not broken['check']['sound'] and broken['check']['findings'] >= 1
     and broken['check']['kinds'], 'damaged image not marked: %s' % broken)
prime = [f for f in broken['files'] if f['path'] == 'PRIME.BAS']
want(len(prime) == 1 and prime[0]['sha1'] is None and prime[0]['crc32'] is None and prime[0].get('error'),
     'the broken file of the damaged image: %s' % prime)
for bad in ['coll/noise.dsk', 'coll/empty/tiny.dsk']:
    want(not by[bad]['readable'] and by[bad]['error'], bad + ' not marked unreadable')
rows = list(csv.DictReader(open(sys.argv[2], newline='')))
want(len(rows) == sum(max(1, len(r.get('files', []))) for r in records), 'CSV rows: %d' % len(rows))
flat = [(r['path'], f['path'], f['sha1'] or '') for r in records for f in r.get('files', [])]
flat = [(r['path'], r['member'] or '', f['path'], f['sha1'] or '') for r in records for f in r.get('files', [])]
want(flat == [(row['path'], row['member'], row['file_path'], row['file_sha1']) for row in rows if row['file_path']],
     'CSV files differ from JSON')
for p in problems: print(p)
sys.exit(1 if problems else 0)
PY

# ls --json and info --json give the catalogue's own fields.
"$vkdisk" ls coll/games/msx/dos2.DI2 -R --json > ls.json 2>/dev/null
"$vkdisk" info coll/games/msx/dos2.DI2 --json > info.json 2>/dev/null
count
python3 - one.json ls.json info.json <<'PY' || fail "ls --json and info --json against the catalogue"
import json, sys
cat = {r['path']: r for r in json.load(open(sys.argv[1]))}['coll/games/msx/dos2.DI2']
files, info = json.load(open(sys.argv[2])), json.load(open(sys.argv[3]))
cat_files = cat.pop('files')
cat['path'] = info['path']
ok = files == cat_files and info == cat
if not ok: print(files, cat_files, info, cat, sep='\n')
sys.exit(0 if ok else 1)
PY
"$vkdisk" ls coll/games/msx/dos2.DI2 TOOLS --json > lsdir.json 2>/dev/null
check "ls PATH --json lists that folder alone" python3 -c '
import json, sys; sys.exit(0 if [f["path"] for f in json.load(open("lsdir.json"))] == ["TOOLS/DEEPER"] else 1)'

# find, by name and by SHA-1.
count; out=$("$vkdisk" find coll 'prime.*' 2>/dev/null) || fail "find by name: exit $?"
check "find by name names the images and path: $out" test "$out" = "coll/dos1.dsk:PRIME.BAS
coll/games/broken.flp:PRIME.BAS
coll/packed/two.zip/dos1.dsk:PRIME.BAS"
count; out=$("$vkdisk" find coll 'tools/deeper/*.rom' --jobs 2 2>/dev/null) || fail "find by path: exit $?"
check "find by path: $out" test "$out" = "coll/games/msx/dos2.DI2:TOOLS/DEEPER/DEEP.ROM
coll/packed/dos2.di2.gz:TOOLS/DEEPER/DEEP.ROM"
sha=$(sha1sum files/BIG.DAT | cut -c1-40)
count; out=$("$vkdisk" find coll --sha1 "$sha" 2>/dev/null) || fail "find --sha1: exit $?"
check "find --sha1 names every image holding the file: $out" test "$out" = "coll/dos1.dsk:BIG.DAT
coll/games/broken.flp:BIG.DAT
coll/games/pc.img:BIG.DAT
coll/packed/two.zip/dos1.dsk:BIG.DAT
coll/packed/two.zip/games/pc.img:BIG.DAT"
# The damaged copy of PRIME.BAS cannot be read whole, so it has no SHA-1.
sha=$(sha1sum files/PRIME.BAS | cut -c1-40)
count; out=$("$vkdisk" find coll --sha1 "${sha^^}" 2>/dev/null) || fail "find --sha1 in capitals: exit $?"
check "find --sha1 passes over a file whose chain breaks: $out" test "$out" = "coll/dos1.dsk:PRIME.BAS
coll/packed/two.zip/dos1.dsk:PRIME.BAS"
expect_rc 1 "find of a name no image holds" "$vkdisk" find coll 'NOSUCH.*'
expect_rc 2 "find --sha1 with a short hash" "$vkdisk" find coll --sha1 abc
expect_rc 0 "catalog of sound images only" sh -c '"$1" catalog coll/dos1.dsk coll/games/pc.img >/dev/null' - "$vkdisk"
expect_rc 1 "catalog of a missing path" sh -c '"$1" catalog coll/dos1.dsk nowhere >/dev/null' - "$vkdisk"
stderr_has "nowhere" "the missing path is named"

summary vkdisk_catalog
