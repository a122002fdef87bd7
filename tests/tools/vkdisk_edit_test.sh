#!/usr/bin/env bash
# vkdisk ls, rm, ren, label and attr on images that mtools filled, judged by
# mtools (mdir, mattrib, mlabel, mcopy) and fsck.fat -n.
# Usage: vkdisk_edit_test.sh VKDISK [LOCALE_DIR]
set -u
vkdisk="$1"
locales="${2:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

img="$work/disk.dsk"
fresh() {
    rm -f "$img"
    "$vkdisk" new "$img" --boot msdos
    printf 'hello\n' >"$work/notes"
    head -c 1536 /dev/urandom >"$work/data"
    head -c 3000 /dev/urandom >"$work/big"
    mcopy -i "$img" "$work/notes" ::NOTES.TXT
    mcopy -i "$img" "$work/data" ::DATA.BIN
    mcopy -i "$img" "$work/big" ::BIG.BIN
    mmd -i "$img" ::GAMES
    mattrib -i "$img" +r ::NOTES.TXT
}

# ls: the four columns and the object count.
fresh
out=$("$vkdisk" ls "$img")
check "ls exits 0" test $? -eq 0
check "ls shows the read-only archived file" has "$out" '^NOTES\.TXT +6  .* R A  $'
check "ls shows sizes without grouping in C" has "$out" '^DATA\.BIN +1536 '
check "ls shows the folder without size" has "$out" '^GAMES +[0-9/]+ [0-9:]+ +    D$'
check "ls counts the objects" has "$out" '^4 Object\(s\)$'
if [ -n "$locales" ] && [ -d "$locales/en_US.UTF-8" ]; then
    out=$(LOCPATH="$locales" LC_ALL=en_US.UTF-8 "$vkdisk" ls "$img")
    check "ls groups digits under en_US" has "$out" '^BIG\.BIN +3,000 '
fi
"$vkdisk" ls "$work/missing.dsk" 2>/dev/null
check "ls of a missing image fails" test $? -eq 1

# Names, labels and comments from the image never reach the terminal raw:
# bytes below 0x20 and 0x7F are shown as \xNN.
ctl="$work/ctl.dsk"
cp "$img" "$ctl"
mlabel -i "$ctl" ::LABEL
python3 - "$ctl" <<'PY'
import sys
p = sys.argv[1]
b = bytearray(open(p, 'rb').read())
b = b.replace(b'NOTES   TXT', b'\x1b]0;X\x07  TXT', 1).replace(b'LABEL      ', b'LA\x1bBEL\x7f    ')
b[3:11] = b'OEM\x1b[2J '
# A comment header in front: 0xAA 'Y', a zero compression word, the text from byte 40.
head = bytearray(40) + b'note\x1b]0;pwned\x07\r\nline 2\x00'
head[0], head[1] = 0xAA, ord('Y')
open(p, 'wb').write(bytes(b))
open(p + '.commented', 'wb').write(bytes(head) + bytes(b))
PY
set -f  # the words below are split, never globbed
for run in "ls $ctl" "attr $ctl *" "label $ctl" "info $ctl" "info $ctl.commented"; do
    out=$($vkdisk $run 2>&1)
    check "$run shows no control byte" bash -c '! LC_ALL=C grep -q "[[:cntrl:]]" <<<"$(tr -d "\n" <<<"$0")"' "$out"
done
set +f
check "ls shows the escaped name" has "$("$vkdisk" ls "$ctl")" '^\\x1B\]0;X\\x07\.TXT '
check "label shows the escaped label" test "$("$vkdisk" label "$ctl")" = 'LA\x1BBEL\x7F'
check "info shows the escaped OEM name" has "$("$vkdisk" info "$ctl")" '^OEM name: +OEM\\x1B\[2J $'
check "info shows the escaped comment" has "$("$vkdisk" info "$ctl.commented" 2>/dev/null)" '^Comment: +note\\x1B\]0;pwned\\x07\\x0D\\x0Aline 2$'

# Dates show four-digit years: 1980 and 2080 differ in the C locale too.
years="$work/years.dsk"
"$vkdisk" new "$years"
touch -d '1980-06-01 12:00' "$work/early"; touch -d '2080-06-01 12:00' "$work/late"
"$vkdisk" add "$years" "$work/early" "$work/late"
out=$("$vkdisk" ls "$years")
check "ls writes 1980 with four digits" has "$out" '^EARLY .* 06/01/1980 '
check "ls writes 2080 with four digits" has "$out" '^LATE .* 06/01/2080 '

# Wildcards: a table of patterns and the names they take, then patterns
# whose stars once cost exponential time or the whole stack.
while IFS='|' read -r pattern want; do
    got=$("$vkdisk" attr "$img" "$pattern" 2>/dev/null | sed 's/^.....  //' | tr '\n' ' ')
    check "pattern '$pattern' takes '$want'" test "$got" = "$want"
done <<'TABLE'
*|NOTES.TXT DATA.BIN BIG.BIN GAMES 
*.*|NOTES.TXT DATA.BIN BIG.BIN GAMES 
*.BIN|DATA.BIN BIG.BIN 
?????.*|NOTES.TXT GAMES 
*A*A*|DATA.BIN 
*S|GAMES 
**T**X**|NOTES.TXT 
B?G.BI?|BIG.BIN 
*.B|
TABLE
# Matches nothing, quickly, and says so (a crash would exit 1 as well).
nothing_quickly() { local out; out=$(timeout 5 "$vkdisk" attr "$img" "$1" 2>&1); [ $? -eq 1 ] && has "$out" '^vkdisk: no entry matches'; }
check "40 stars before a mismatch end at once" nothing_quickly "$(printf '*%.0s' $(seq 40))Q"
many=$(head -c 130000 /dev/zero | tr '\0' '*')
check "130000 stars before a mismatch end at once" nothing_quickly "${many}Q"
check "130000 stars before .BIN still match" bash -c 'timeout 5 "$0" attr "$1" "$2" | grep -c BIN | grep -qx 2' "$vkdisk" "$img" "${many}.BIN"

# rm: questions, --force, folders, patterns.
before=$(free_bytes "$img")
"$vkdisk" rm "$img" data.bin 2>/dev/null </dev/null
check "rm without a terminal or --force deletes nothing" test $? -eq 1
check "rm without --force left DATA.BIN" has "$(mdir -i "$img" ::)" '^DATA +BIN'
"$vkdisk" rm --force "$img" 'd*.*' 2>/dev/null
check "rm --force before the image deletes" test $? -eq 0
check "DATA.BIN is gone for mdir" hasnt "$(mdir -i "$img" ::)" '^DATA +BIN'
check "rm freed two clusters" test "$(free_bytes "$img")" -eq $((before + 2048))
check "fsck is clean after rm" fsck_clean "$img"
mcopy -i "$img" ::BIG.BIN "$work/big.out"
check "the file behind the deleted one is unchanged" cmp -s "$work/big" "$work/big.out"
"$vkdisk" rm "$img" GAMES --force 2>"$work/err"
check "rm of a folder fails" test $? -eq 1
check "rm of a folder says why" has "$(cat "$work/err")" "Cannot delete directory 'GAMES'"
check "the folder stays" has "$(mdir -i "$img" ::)" '^GAMES +<DIR>'
"$vkdisk" rm "$img" nothing.txt --yes 2>/dev/null
check "rm of an unknown name fails" test $? -eq 1
"$vkdisk" rm "$img" '*.BIN' notes.txt --yes 2>/dev/null
check "rm --yes deletes every match" test $? -eq 0
check "only the folder is left" test "$(mdir -i "$img" -b ::)" = "::/GAMES/"
check "fsck is clean after rm --yes" fsck_clean "$img"

# ren: checks and the existing-name error.
fresh
"$vkdisk" ren "$img" notes.txt readme.txt
check "ren exits 0" test $? -eq 0
check "mdir sees README.TXT" has "$(mdir -i "$img" ::)" '^README +TXT +6 '
mcopy -i "$img" ::README.TXT "$work/readme"
check "renamed file keeps its data" cmp -s "$work/notes" "$work/readme"
for bad in A.B.C .TXT ABCDEFGHIJKLM 'MY FILE' big.bin; do
    "$vkdisk" ren "$img" readme.txt "$bad" 2>/dev/null
    check "ren to '$bad' fails" test $? -eq 1
done
"$vkdisk" ren "$img" readme.txt big.bin 2>"$work/err"
check "ren to an existing name names the file" has "$(cat "$work/err")" '^vkdisk: error: BIG\.BIN'
"$vkdisk" ren "$img" readme.txt $'CAF\xc9.TXT' --strict 2>/dev/null
check "ren --strict refuses a high byte" test $? -eq 1
"$vkdisk" ren "$img" '*.bin' x.bin 2>/dev/null
check "ren of a pattern naming two entries fails" test $? -eq 1
check "fsck is clean after ren" fsck_clean "$img"
check "ren exits 2 without NEW" bash -c '"$0" ren "$1" readme.txt 2>/dev/null; [ $? -eq 2 ]' "$vkdisk" "$img"

# label: as typed, shown, removed; boot sector copy kept in step.
"$vkdisk" label "$img" "my disk"
check "label exits 0" test $? -eq 0
check "mlabel reads the label as typed" has "$(mlabel -i "$img" -s ::)" 'Volume label is my disk'
check "label prints it" test "$("$vkdisk" label "$img")" = "my disk"
check "fsck is clean with a label" fsck_clean "$img"
cp "$img" "$work/copy.dsk"
"$vkdisk" label "$img" "my disk"
check "the same label writes nothing" cmp -s "$img" "$work/copy.dsk"
"$vkdisk" label "$img" --remove
check "label --remove exits 0" test $? -eq 0
check "mlabel sees no label" has "$(mlabel -i "$img" -s ::)" 'Volume has no label'
check "label prints nothing without a label" test -z "$("$vkdisk" label "$img")"
check "fsck is clean without a label" fsck_clean "$img"
"$vkdisk" label "$img" ABCDEFGHIJKL 2>/dev/null
check "a 12-character label is a usage error" test $? -eq 2
"$vkdisk" label "$img" TEXT --remove 2>/dev/null
check "TEXT and --remove together are a usage error" test $? -eq 2

# attr: changes, listing, words that look like options.
"$vkdisk" attr "$img" readme.txt -a +h +s
check "attr exits 0" test $? -eq 0
check "mattrib sees hidden and system" has "$(mattrib -i "$img" ::README.TXT)" '^ +SHR +::/README\.TXT'
"$vkdisk" attr "$img" readme.txt -r -h -s +a
check "mattrib sees archive only" has "$(mattrib -i "$img" ::README.TXT)" '^  A +::/README\.TXT'
check "attr lists attributes" has "$("$vkdisk" attr "$img" '*')" '^    D  GAMES$'
check "attr of an unknown name fails" bash -c '"$0" attr "$1" none.txt +r 2>/dev/null; [ $? -eq 1 ]' "$vkdisk" "$img"
check "fsck is clean after attr" fsck_clean "$img"

for cmd in ls rm ren label attr; do
    check "$cmd --help" bash -c '"$0" "$1" --help >/dev/null' "$vkdisk" "$cmd"
done

summary vkdisk_edit
