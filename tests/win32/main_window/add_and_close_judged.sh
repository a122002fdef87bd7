#!/bin/sh
# VOLKARN.EXE image /a host /c on an image mformat made: the program must end
# with 0, and mtools and fsck.fat must find the host file in the saved image,
# byte for byte.
# Usage: add_and_close_judged.sh <wine-run.sh> <VOLKARN.EXE>
set -u
wine_run=$1
volkarn=$2
work=$(mktemp -d)
# The program stores its settings when it closes; the /R tests expect none,
# so settings this run created are removed again.
settings='HKCU\Software\Quanbel\Volkarn'
if "$wine_run" reg query "$settings" >/dev/null 2>&1; then had_settings=1; else had_settings=0; fi
cleanup() {
    rm -rf "$work"
    [ "$had_settings" -eq 1 ] || "$wine_run" reg delete "$settings" /f >/dev/null 2>&1
}
trap cleanup EXIT
export MTOOLS_SKIP_CHECK=1

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

windows_path() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}

mformat -i "$work/disk.dsk" -C -f 720 -v JUDGED :: || fail "mformat"
head -c 70000 /dev/urandom > "$work/payload.bin"
"$wine_run" "$volkarn" "$(windows_path "$work/disk.dsk")" /a "$(windows_path "$work/payload.bin")" /c
code=$?
[ "$code" -eq 0 ] || fail "exit code $code, expected 0"

mdir -i "$work/disk.dsk" :: | grep -q "PAYLOAD  BIN" || fail "mdir does not list PAYLOAD.BIN"
mcopy -i "$work/disk.dsk" ::PAYLOAD.BIN "$work/back.bin" || fail "mcopy"
cmp "$work/payload.bin" "$work/back.bin" || fail "the file differs after the round trip"
fsck.fat -n "$work/disk.dsk" || fail "fsck.fat"
echo "OK: exit code 0, PAYLOAD.BIN intact, fsck.fat clean"
