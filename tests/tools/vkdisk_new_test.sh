#!/usr/bin/env bash
# Every format and boot sector vkdisk new makes is judged by the outside
# tools: fsck.fat finds nothing wrong and mdir lists an empty disk of the
# format's capacity.
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Free bytes of each empty format: data clusters times cluster size.
declare -A capacity=(
    [F0]=1457664 [F8]=362496 [F9]=730112 [FA]=322560 [FB]=649216
    [FC]=179712 [FD]=362496 [FE]=160256 [FF]=322560
)

# One image or one rule is one check.
for code in F0 F8 F9 FA FB FC FD FE FF; do
    for boot in msxdos msxdos2 msdos; do
        count
        img="$work/$code-$boot.dsk"
        "$vkdisk" new "$img" --format "$code" --boot "$boot" || { fail "$code $boot: vkdisk new"; continue; }
        findings=$(fsck_findings "$img")
        if [ "$boot" = msdos ]; then
            [ -z "$findings" ] || fail "$code $boot: fsck.fat: $findings"
        else
            # Without the 0x29 signature fsck.fat reads boot code as a label: that one complaint only.
            expected=$'Label \'\' stored in boot sector is not valid.\n  Auto-removing label from boot sector.\n'
            expected+=$'\nLeaving filesystem unchanged.\nfsck.fat exit 1'
            [ "$findings" = "$expected" ] || fail "$code $boot: fsck.fat: $findings"
        fi
        listing=$(mdir -i "$img" :: 2>&1)
        free=$(printf '%s\n' "$listing" | sed -n 's/^ *\([0-9 ]*\) bytes free$/\1/p' | tr -d ' ')
        printf '%s\n' "$listing" | grep -q '^No files$' || fail "$code $boot: mdir does not list an empty disk"
        [ "$free" = "${capacity[$code]}" ] || fail "$code $boot: mdir says $free bytes free, not ${capacity[$code]}"
        sig=$(od -An -tx1 -j510 -N2 "$img" | tr -d ' ')
        if [ "$boot" = msdos ]; then
            [ "$sig" = 55aa ] || fail "$code $boot: no 55 AA signature"
        else
            [ "$sig" = 0000 ] || fail "$code $boot: unexpected signature $sig"
        fi
    done
done

# Templates 1 and 2 get a serial number; template 0 keeps its boot code there.
sleep 1
for boot in msxdos msxdos2 msdos; do
    count
    "$vkdisk" new "$work/again-$boot.dsk" --boot "$boot" || fail "second $boot image"
    a=$(od -An -tx1 -j39 -N4 "$work/F9-$boot.dsk")
    b=$(od -An -tx1 -j39 -N4 "$work/again-$boot.dsk")
    if [ "$boot" = msxdos ]; then
        [ "$a" = "$b" ] || fail "template 0 got a serial number"
    else
        [ "$a" != "$b" ] || fail "$boot: two images a second apart share serial $a"
    fi
done

# An existing image is only replaced with --force.
count
"$vkdisk" new "$work/F9-msxdos.dsk" 2>/dev/null && fail "new replaced an existing image"
"$vkdisk" new "$work/F9-msxdos.dsk" --force || fail "new --force did not replace"
"$vkdisk" new "$work/x.dsk" --format F3 2>/dev/null; [ $? -eq 2 ] || fail "format F3 is no usage error"

summary vkdisk_new
