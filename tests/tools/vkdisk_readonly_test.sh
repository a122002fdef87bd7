#!/usr/bin/env bash
# Images vkdisk must not change: FAT32 that mkfs.fat made,
# 1024-byte sectors, and a write-protected file. Every change command fails
# at once with the image byte-identical and no .der beside it; listing and
# extracting still work where the layout is known.
# Usage: vkdisk_readonly_test.sh VKDISK
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'chattr -i "$work"/*.img 2>/dev/null; rm -rf "$work"' EXIT
export LC_ALL=C
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

printf 'hello\n' >"$work/notes"
head -c 5000 /dev/urandom >"$work/big"

# Runs each change command on IMAGE: each must fail with one refusal and
# leave the file as it was.
refuses_every_change() {  # refuses_every_change NAME IMAGE ENTRY
    local name="$1" img="$2" entry="$3"
    cp "$img" "$work/before"
    local cmd
    for cmd in "add $img $work/notes" "rm --force $img $entry" "ren $img $entry OTHER.BIN" \
               "label $img NEWLABEL" "label $img --remove" "attr $img $entry +h"; do
        local err
        # shellcheck disable=SC2086
        err=$("$vkdisk" $cmd 2>&1 </dev/null)
        check "$name: '${cmd%% *}' fails" test $? -eq 1
        check "$name: '${cmd%% *}' says nothing was changed" has "$err" "cannot be written; nothing was changed"
        check "$name: '${cmd%% *}' reports no system error" hasnt "$err" "handle is invalid"
        check "$name: '${cmd%% *}' leaves the image byte-identical" cmp -s "$img" "$work/before"
        check "$name: '${cmd%% *}' writes no .der" test ! -e "${img%.*}.der"
    done
}

# FAT16 is written: no warning, and info does not call it read-only.
f16="$work/f16.img"
mkfs.fat -F 16 -C "$f16" 16384 >/dev/null
mcopy -i "$f16" "$work/big" ::BIG.BIN
err=$("$vkdisk" ls "$f16" 2>&1 >"$work/ls.out")
check "FAT16: ls lists the file" has "$(cat "$work/ls.out")" '^BIG\.BIN +5000 '
check "FAT16: opens without a warning" test -z "$err"
check "FAT16: info calls it FAT16, not read-only" has "$("$vkdisk" info "$f16" 2>/dev/null)" '^File system: +FAT16$'
check "FAT12: info says so" has "$("$vkdisk" new "$work/f12.img" && "$vkdisk" info "$work/f12.img")" '^File system: +FAT12$'

# FAT32: its root directory lies in clusters, so nothing is listed.
f32="$work/f32.img"
mkfs.fat -F 32 -C "$f32" 70000 >/dev/null 2>&1
mcopy -i "$f32" "$work/big" ::BIG.BIN
err=$("$vkdisk" ls "$f32" 2>&1 >/dev/null)
check "FAT32: the warning names FAT32" has "$err" "holds a FAT32 file system"
refuses_every_change "FAT32" "$f32" BIG.BIN

# 1024-byte sectors: the layout is a guess, so extraction is refused too.
s1k="$work/s1k.img"
mkfs.fat -S 1024 -C "$s1k" 1440 >/dev/null
mcopy -i "$s1k" "$work/notes" ::NOTES.TXT
refuses_every_change "1024-byte sectors" "$s1k" NOTES.TXT
rm -rf "$work/out" && mkdir "$work/out"
"$vkdisk" get "$s1k" --all -d "$work/out" 2>/dev/null
check "1024-byte sectors: get creates no file" test -z "$(ls -A "$work/out")"

# A write-protected image: one refusal, no "handle is invalid".
wp="$work/wp.img"
"$vkdisk" new "$wp"
chmod 444 "$wp"
if [ "$(id -u)" -ne 0 ] || chattr +i "$wp" 2>/dev/null; then
    cp "$wp" "$work/before"
    err=$("$vkdisk" add "$wp" "$work/notes" 2>&1 </dev/null)
    check "write-protected: add fails" test $? -eq 1
    check "write-protected: add says the image is read-only" has "$err" "READ-ONLY"
    check "write-protected: add refuses before any change" has "$err" "cannot be written; nothing was changed"
    check "write-protected: add reports no system error" hasnt "$err" "handle is invalid"
    check "write-protected: the image is byte-identical" cmp -s "$wp" "$work/before"
    chattr -i "$wp" 2>/dev/null
else
    echo "SKIP: write-protected cases (no immutable flag for root here)"
fi

summary vkdisk_readonly
