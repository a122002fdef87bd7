#!/usr/bin/env bash
# Folder trees both ways, judged by the outside tools: a tree mtools wrote is
# listed whole by vkdisk ls -R and extracted by vkdisk get --all as it was; a
# tree vkdisk adds, and folders it makes, grows, renames in and removes, read
# back the same in mtools, and fsck.fat finds every step clean. Damaged
# trees are reported and never followed, and nothing is written of them.
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
stamp='2020-01-02 03:04:06'  # an even second: DOS keeps two-second steps

# A three-level tree of 8.3 names: 40 files in each of ONE and ONE/TWO (more
# than one cluster of entries each, on a 1.44 MB disk's one-sector
# clusters), 25 in ONE/TWO/THREE, empty folders at two levels, and a folder
# of long names.
src="$work/src"
mkdir -p "$src/ONE/TWO/THREE" "$src/EMPTY" "$src/ONE/VOID" "$src/LONG"
n=0
for dir in ONE ONE/TWO; do
    for i in $(seq 10 49); do head -c $((n * 37 % 1500)) /dev/urandom > "$src/$dir/F$i.BIN"; n=$((n + 1)); done
done
for i in $(seq 10 34); do head -c $((i * 53)) /dev/urandom > "$src/ONE/TWO/THREE/G$i.DAT"; done
for i in 1 2 3; do head -c $((i * 700)) /dev/urandom > "$src/LONG/Long file name $i.text"; done
printf 'top' > "$src/TOP.TXT"
find "$src" -type f -exec touch -d "$stamp" {} +

# --- mtools writes, vkdisk reads ---------------------------------------------
img="$work/m.img"
mformat -C -f 1440 -i "$img" ::
mcopy -s -m -i "$img" "$src"/* ::
check "fsck.fat: mtools' own image" fsck_clean "$img"
# What vkdisk must give: the tree under the short names mtools chose.
want="$work/want"
cp -a "$src" "$want"
for f in "$src"/LONG/*; do
    short=$(mshortname -i "$img" "::/LONG/$(basename "$f")" | sed 's|.*/||')
    mv "$want/LONG/$(basename "$f")" "$want/LONG/$short"
done
paths_of() { (cd "$1" && find . -mindepth 1 | sed 's|^\./||' | sort); }
count; [ "$(paths_of "$want" | wc -l)" -gt 100 ] || fail "the tree holds fewer than 100 entries"

# ls -R: a heading per folder, then its entries, every path once.
ls_paths() {  # ls_paths IMAGE: the paths vkdisk ls -R lists, sorted
    "$vkdisk" ls "$1" -R 2>>"$work/stderr.log" | awk '
        /^\/.*:$/ { dir = substr($0, 2, length($0) - 2); next }
        /^$/ || / Object\(s\)$/ { next }
        { print (dir == "" ? "" : dir "/") $1 }' | sort
}
before=$(md5sum < "$img")
count; [ "$(ls_paths "$img")" = "$(paths_of "$want")" ] || fail "ls -R: $(diff <(ls_paths "$img") <(paths_of "$want") | head)"
count; "$vkdisk" ls "$img" ONE/TWO | grep -q '^THREE .* D$' || fail "ls of one folder"
mkdir "$work/got" "$work/some" "$work/back"
expect_rc 0 "get --all of mtools' tree" "$vkdisk" get "$img" --all -d "$work/got"
count; diff -r "$want" "$work/got" >/dev/null || fail "get --all: $(diff -r "$want" "$work/got" | head -3)"
count; [ "$(find "$work/got" -type f -printf '%T@\n' | cut -d. -f1 | sort -u)" = "$(date -d "$stamp" +%s)" ] ||
    fail "get --all: file times differ"
count; [ "$(md5sum < "$img")" = "$before" ] || fail "reading changed the image"
# A path names an entry in a folder; a folder comes with its tree.
expect_rc 0 "get by path and pattern" "$vkdisk" get "$img" 'ONE/TWO/THREE/G1?.DAT' one/two -d "$work/some"
count; [ -f "$work/some/G10.DAT" ] && [ -f "$work/some/TWO/THREE/G34.DAT" ] || fail "get by path: $(ls "$work/some")"

# --- vkdisk writes, mtools reads ---------------------------------------------
img="$work/v.img"
"$vkdisk" new "$img" --format F0 --boot msdos
own="$work/own"  # the tree without long names, which vkdisk stores as 8.3
cp -a "$src" "$own" && rm -r "$own/LONG"
find "$own" -type d -exec touch -d "$stamp" {} +
expect_rc 0 "add -r" "$vkdisk" add "$img" -r "$own/ONE" "$own/EMPTY" "$own/TOP.TXT"
check "fsck.fat after add -r" fsck_clean "$img"
expect_rc 0 "mkdir" "$vkdisk" mkdir "$img" MADE MADE/INNER 'one\two\new'
check "fsck.fat after mkdir" fsck_clean "$img"
mkdir -p "$own/MADE/INNER" "$own/ONE/TWO/NEW"
mdir_paths() { mdir -/ -b -i "$1" :: | sed 's|^::/||; s|/$||' | sort; }
count; [ "$(mdir_paths "$img")" = "$(paths_of "$own")" ] || fail "mdir -/: $(diff <(mdir_paths "$img") <(paths_of "$own") | head)"
mkdir "$work/mout" && mcopy -s -m -i "$img" '::*' "$work/mout"
count; diff -r "$own" "$work/mout" >/dev/null || fail "mcopy -s: $(diff -r "$own" "$work/mout" | head -3)"
# Back out through vkdisk: folders keep the times of their host folders.
expect_rc 0 "get --all of our tree" "$vkdisk" get "$img" --all -d "$work/back"
count; diff -r "$own" "$work/back" >/dev/null || fail "get --all of our tree: $(diff -r "$own" "$work/back" | head -3)"
for d in ONE/TWO/THREE EMPTY ONE/VOID; do
    count; [ "$(stat -c %Y "$work/back/$d")" = "$(date -d "$stamp" +%s)" ] || fail "$d: folder time not kept"
done

# Growing, renaming and removing inside folders.
mkdir "$work/more" && for i in $(seq 10 29); do printf '%s' "$i" > "$work/more/M$i.TXT"; done
expect_rc 0 "add into a folder it must grow" "$vkdisk" add "$img" "$work"/more/* --to MADE/INNER
check "fsck.fat after growing a folder" fsck_clean "$img"
count; [ "$(mdir -b -i "$img" ::/MADE/INNER | wc -l)" = 20 ] || fail "MADE/INNER: $(mdir -b -i "$img" ::/MADE/INNER | head -3)"
expect_rc 0 "ren inside a folder" "$vkdisk" ren "$img" ONE/TWO/F10.BIN RENAMED.BIN
check "fsck.fat after ren" fsck_clean "$img"
count; mcopy -i "$img" ::/ONE/TWO/RENAMED.BIN - | cmp -s - "$own/ONE/TWO/F10.BIN" || fail "the renamed file"
expect_rc 1 "ren onto a name of the folder" "$vkdisk" ren "$img" ONE/TWO/F11.BIN F12.BIN
expect_rc 1 "rm refuses a folder" "$vkdisk" rm "$img" MADE --force
stderr_has "rmdir removes folders" "rm names rmdir"
expect_rc 1 "rmdir of a full folder without -r" "$vkdisk" rmdir "$img" ONE --force
expect_rc 0 "rmdir -r" "$vkdisk" rmdir "$img" ONE -r --force
expect_rc 0 "rmdir of an empty folder" "$vkdisk" rmdir "$img" EMPTY --force
check "fsck.fat after rmdir" fsck_clean "$img"
count; [ "$(mdir -b -i "$img" :: | sort | tr '\n' ' ')" = "::/MADE/ ::/TOP.TXT " ] || fail "after rmdir: $(mdir -b -i "$img" ::)"
count; [ "$(free_bytes "$img")" -gt $((1400 * 1024)) ] || fail "rmdir -r left clusters taken: $(free_bytes "$img")"

# --- damaged trees ------------------------------------------------------------
# A folder B inside A, then B's entry (in A's first cluster, after the dot
# entries) or B's own "." entry bent: 1.44 MB, data from byte 16896, A in
# cluster 2 and B in cluster 3.
data=16896
bend() {  # bend IMAGE OFFSET VALUE: a 16-bit first-cluster field
    printf "\\x$(printf %02x $(($3 & 255)))\\x$(printf %02x $(($3 >> 8)))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
for case in "loop|$((data + 64 + 26))|2" "dot elsewhere|$((data + 512 + 26))|5" "cluster 1|$((data + 64 + 26))|1"; do
    IFS='|' read -r what at value <<<"$case"
    bad="$work/bad.img"
    rm -f "$bad" && "$vkdisk" new "$bad" --format F0 --boot msdos && "$vkdisk" mkdir "$bad" A A/B && "$vkdisk" add "$bad" "$src/TOP.TXT" --to A/B
    bend "$bad" "$at" "$value"
    before=$(md5sum < "$bad")
    expect_rc 1 "$what: ls -R" sh -c '"$1" ls "$2" -R >/dev/null' - "$vkdisk" "$bad"
    stderr_has "stored file is corrupted" "$what: ls -R reports the folder"
    rm -rf "$work/bent" && mkdir "$work/bent"
    expect_rc 1 "$what: get --all" "$vkdisk" get "$bad" --all -d "$work/bent"
    stderr_has "stored file is corrupted" "$what: get --all reports the folder"
    count; [ "$(paths_of "$work/bent")" = "A" ] || fail "$what: get --all wrote $(paths_of "$work/bent")"
    count; [ "$(md5sum < "$bad")" = "$before" ] || fail "$what: the image changed"
done

summary vkdisk_folders
