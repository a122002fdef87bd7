#!/usr/bin/env bash
# MSX-BASIC programs in and out of an image: a program written here byte by
# byte from the format's description (mtools puts it in and takes it out)
# must list as LIST shows it, come out as SAVE "NAME",A writes it, and go
# back in from either listing as the same bytes.
# Usage: vkdisk_basic_test.sh VKDISK
set -u
vkdisk="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# 10 PRINT "Héllo":GOTO 10
# 20 A=&H1F+1.5:' note
# Each line: the address of the next (from 8001h), its number, tokens, 00h.
python3 - "$work/PROG.BAS" <<'PY'
import struct, sys
lines = [(10, b'\x91 "H\x82llo":\x89 \x0e\x0a\x00'),
         (20, b'A\xef\x0c\x1f\x00\xf1\x1d\x41\x15\x00\x00:\x3a\x8f\xe6 note')]
out, address = bytearray(b'\xff'), 0x8001
for number, body in lines:
    address += 4 + len(body) + 1
    out += struct.pack('<HH', address, number) + body + b'\x00'
out += b'\x00\x00'
open(sys.argv[1], 'wb').write(out)
PY
listing=$'10 PRINT "Héllo":GOTO 10\n20 A=&H1F+1.5:\' note\n'
printf '10 PRINT "H\x82llo":GOTO 10\r\n20 A=&H1F+1.5:\x27 note\r\n\x1a' >"$work/ascii.want"

img="$work/disk.dsk"
"$vkdisk" new "$img" >/dev/null
mcopy -i "$img" "$work/PROG.BAS" ::PROG.BAS
printf 'HELLO\r\n' >"$work/NOTE.TXT"
mcopy -i "$img" "$work/NOTE.TXT" ::NOTE.TXT

# Out: the listing on standard output, and as files.
check "list prints the listing" test "$("$vkdisk" list "$img" PROG.BAS)" == "${listing%$'\n'}"
check "list prints a text file as it is" test "$("$vkdisk" list "$img" NOTE.TXT)" == $'HELLO\r'
mkdir "$work/out" "$work/utf8"
expect_rc 0 "get --basic-text" "$vkdisk" get "$img" PROG.BAS NOTE.TXT -d "$work/out" --basic-text
same_file "$work/out/PROG.BAS" "$work/ascii.want" "get --basic-text writes what SAVE \"NAME\",A writes"
same_file "$work/out/NOTE.TXT" "$work/NOTE.TXT" "get --basic-text leaves a text file as it is"
expect_rc 0 "get --basic-text --utf8" "$vkdisk" get "$img" PROG.BAS -d "$work/utf8" --basic-text --utf8
check "--utf8 writes UTF-8 with LF" test "$(cat "$work/utf8/PROG.BAS"; echo .)" == "${listing}."

# In: both listings, in any case, go back as the program's bytes.
new="$work/new.dsk"
"$vkdisk" new "$new" >/dev/null
mkdir "$work/in"
printf '%s' "$listing" | sed 's/PRINT/print/; s/GOTO/goto/' >"$work/in/UTF.BAS"
cp "$work/ascii.want" "$work/in/ASCII.BAS"
cp "$work/PROG.BAS" "$work/in/TOKEN.BAS"
expect_rc 0 "add --tokenize" "$vkdisk" add "$new" "$work/in/UTF.BAS" "$work/in/ASCII.BAS" "$work/in/TOKEN.BAS" \
    "$work/NOTE.TXT" --tokenize
for name in UTF ASCII TOKEN; do
    mcopy -n -i "$new" "::$name.BAS" "$work/$name.got"
    same_file "$work/$name.got" "$work/PROG.BAS" "add --tokenize stores $name.BAS as SAVE \"NAME\" does"
done
mcopy -n -i "$new" ::NOTE.TXT "$work/note.got"
same_file "$work/note.got" "$work/NOTE.TXT" "add --tokenize leaves a text file as it is"
check "the image after add --tokenize passes fsck.fat" fsck_clean_msx "$new"

# A listing out of order stores nothing.
printf '20 PRINT\n10 END\n' >"$work/BAD.BAS"
cp "$new" "$work/before.dsk"
expect_rc 1 "add --tokenize of lines out of order" "$vkdisk" add "$new" "$work/BAD.BAS" --tokenize
stderr_has "BAD.BAS" "the refusal names the file"
same_file "$new" "$work/before.dsk" "a refused listing leaves the image as it was"

# A program cut short lists up to its fault and says where it stopped.
head -c 23 "$work/PROG.BAS" >"$work/CUT.BAS"
mcopy -i "$img" "$work/CUT.BAS" ::CUT.BAS
count
out=$("$vkdisk" list "$img" CUT.BAS 2>"$work/stderr.log")
rc=$?
[ $rc -eq 1 ] && [ "$out" == '10 PRINT "Héllo":GOTO 10' ] || fail "a cut program lists its first line and exits 1 (rc $rc: $out)"
check "the fault is said" test -s "$work/stderr.log"

summary vkdisk_basic
