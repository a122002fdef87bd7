#!/usr/bin/env bash
# What saving an image does to the files around it: an image is changed
# whole or not at all, a second writer is refused, a .der file is never
# taken for the image nor lost, and what is refused leaves every file
# byte-identical. fsck.fat and mtools judge the images.
set -u
vkdisk="$1"
work=$(mktemp -d)
mounted=""
cleanup() {
    [ -n "$mounted" ] && umount "$mounted" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export MTOOLS_SKIP_CHECK=1
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
absent() { count; [ ! -e "$1" ] && [ ! -L "$1" ] || fail "$2: $1 is there"; }
has_file() { # image, name, host file, description
    count
    mtype -i "$1" "::$2" 2>/dev/null | cmp -s - "$3" || fail "$4: mtools does not read $2 from $1 as $3"
}
# Only the image and what the test put there: no half-written file is left.
only_files() { # folder, expected names...
    count
    local folder=$1; shift
    local have want
    have=$(ls -A "$folder" | sort | tr '\n' ' ')
    want=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
    [ "$have" = "$want" ] || fail "$folder holds '$have', wanted '$want'"
}
cd "$work" || exit 1
chmod 755 "$work"  # the unprivileged user below must reach its folder

mkfs.fat -C -F 12 -f 2 -r 112 -s 2 -S 512 -M 0xF9 -h 0 -g 2/9 disk.img 720 >/dev/null
mkfs.fat -C -F 12 -f 2 -r 224 -s 1 -S 512 -M 0xF0 -h 0 -g 2/18 big.img 1440 >/dev/null
echo hello > x.txt
head -c 300000 /dev/urandom > data.bin
# A bad-sector list of the 720 KB format with sectors 1 and 23 marked.
{ printf 'DiskImage errors\r\n\032\000'; printf '\100\000\001'; head -c 177 /dev/zero; } > list.der

# --- an image named *.der is never its own bad-sector list ---------------------
expect_rc 0 "new victim.der" "$vkdisk" new victim.der --boot msdos
check "new victim.der: fsck.fat finds victim.der clean" fsck_clean victim.der
absent victim.der.der "a new image has no bad sectors"
expect_rc 0 "add to victim.der" "$vkdisk" add victim.der x.txt
check "add to victim.der: fsck.fat finds victim.der clean" fsck_clean victim.der
has_file victim.der X.TXT x.txt "add to victim.der"
cp disk.img OTHER.DER
expect_rc 0 "add to an image of mkfs.fat named OTHER.DER" "$vkdisk" add OTHER.DER x.txt
has_file OTHER.DER X.TXT x.txt "add to OTHER.DER"
count; "$vkdisk" info victim.der 2>/dev/null | grep -q "^Bad-sector file:  .*victim.der.der (none)$" ||
    fail "info names victim.der.der: $("$vkdisk" info victim.der 2>&1 | grep Bad-sector)"

# --- a .der that may be read but not written ------------------------------------
mkdir shared
chmod 777 shared
cp disk.img shared/disk.dsk
cp list.der shared/disk.der
cp x.txt shared/x.txt
chown nobody shared/disk.dsk shared/disk.der
chmod 444 shared/disk.der
as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"; }
expect_rc 0 "add beside a read-only .der" as_nobody "$vkdisk" add shared/disk.dsk shared/x.txt
same_file shared/disk.der list.der "the read-only .der"
has_file shared/disk.dsk X.TXT x.txt "add beside a read-only .der"
count; as_nobody "$vkdisk" info shared/disk.dsk 2>/dev/null | grep -q "^Bad sectors: *1, 23$" ||
    fail "the read-only .der's bad sectors are loaded"
count; [ "$(stat -c %U shared/disk.dsk)" = nobody ] || fail "the saved image keeps its owner"

# --- a .der or an image that is a pipe -------------------------------------------
cp disk.img pipe-beside.dsk
mkfifo pipe-beside.der
expect_rc 0 "add beside a .der that is a pipe" timeout 10 "$vkdisk" add pipe-beside.dsk x.txt
stderr_has "pipe-beside.der cannot be written, so it was left unchanged" "the kept .der is named"
count; [ -p pipe-beside.der ] || fail "the pipe is left where it was"
mkfifo pipe.dsk
expect_rc 1 "ls on a pipe" timeout 10 "$vkdisk" ls pipe.dsk
stderr_has "The request is not supported." "a pipe is refused without waiting"

# --- new and read over a .der that is there ---------------------------------------
cp list.der n.der
expect_rc 1 "new beside an existing .der" "$vkdisk" new n.dsk
stderr_has "n.der exists; use --force" "the .der is named"
same_file n.der list.der "new keeps the .der"
absent n.dsk "a refused new makes no image"
expect_rc 0 "new --force beside an existing .der" "$vkdisk" new n.dsk --force --boot msdos
stderr_has "removed .*n.der" "new --force says it removed the .der"
absent n.der "new --force removes the old list"
check "new --force: fsck.fat finds n.dsk clean" fsck_clean n.dsk
cp list.der r.der
expect_rc 1 "read beside an existing .der" "$vkdisk" read disk.img r.dsk
same_file r.der list.der "read keeps the .der"
absent r.dsk "a refused read makes no image"
expect_rc 0 "read --force beside an existing .der" "$vkdisk" read disk.img r.dsk --force
absent r.der "read --force of a clean disk removes the old list"
same_file r.dsk disk.img "read --force"

# --- a save that breaks off leaves the old image ------------------------------------
cp big.img limit.dsk
cp big.img limit.before
count
{ ( ulimit -f 200; exec "$vkdisk" add limit.dsk data.bin ) </dev/null 2>/dev/null; } 2>/dev/null
[ $? -eq 1 ] || fail "add beyond the file-size limit reports success"
same_file limit.dsk limit.before "add beyond the file-size limit"
check "add beyond the file-size limit: fsck.fat finds limit.dsk clean" fsck_clean limit.dsk
count
{ ( ulimit -f 200; exec "$vkdisk" new limit.dsk --format F0 --force ) </dev/null 2>/dev/null; } 2>/dev/null
[ $? -eq 1 ] || fail "new --force beyond the file-size limit reports success"
same_file limit.dsk limit.before "new --force keeps the old image until the new one exists"
count
{ ( ulimit -f 200; exec "$vkdisk" read disk.img limit.dsk --force ) </dev/null 2>/dev/null; } 2>/dev/null
[ $? -eq 1 ] || fail "read --force beyond the file-size limit reports success"
same_file limit.dsk limit.before "read --force keeps the old image until the new one exists"
count
[ -z "$(ls -A | grep '^\.limit\.dsk\.')" ] || fail "a save refused by the file-size limit leaves its new file behind"

# Killed at any moment, a save leaves the old image or the new one (once the
# next opening has settled its journal).
cp big.img kill.before
cp big.img kill.dsk
"$vkdisk" add kill.dsk data.bin </dev/null 2>/dev/null
cp kill.dsk kill.after
count; cmp -s kill.before kill.after && fail "the add to kill.dsk changed nothing"
for delay in 0.01 0.03 0.05 0.07 0.09 0.11 0.13 0.15 0.2 0.3; do
    cp kill.before kill.dsk
    "$vkdisk" add kill.dsk data.bin </dev/null 2>/dev/null &
    victim=$!
    sleep "$delay"
    kill -9 "$victim" 2>/dev/null
    wait "$victim" 2>/dev/null
    "$vkdisk" ls kill.dsk >/dev/null 2>&1  # the next opening settles a journal
    count
    cmp -s kill.dsk kill.before || cmp -s kill.dsk kill.after || fail "killed after ${delay}s: neither old nor new"
    rm -f .kill.dsk.*
done

mkdir full
if mount -t tmpfs -o size=1000k tmpfs full 2>/dev/null; then
    mounted="$work/full"
    # A sparse image on a nearly full disk: its blocks are had only once written.
    cp --sparse=always disk.img full/disk.dsk
    cp disk.img full.before
    head -c 800000 /dev/zero > full/filler
    expect_rc 1 "add on a full disk" "$vkdisk" add full/disk.dsk data.bin
    stderr_has "There is not enough space on the disk." "a full disk is reported"
    same_file full/disk.dsk full.before "add on a full disk"
    only_files full disk.dsk filler
    umount full && mounted=""
else
    echo "NOTE: no tmpfs could be mounted; the full disk is stood in for by the file-size limit only"
fi

# --- a second writer is refused -------------------------------------------------------
cp disk.img locked.dsk
exec 9<locked.dsk
flock -x 9
expect_rc 1 "add while another program holds the image" "$vkdisk" add locked.dsk x.txt
stderr_has "being used by another process" "the second writer hears why"
expect_rc 1 "ls while another program writes the image" "$vkdisk" ls locked.dsk
exec 9<&-
same_file locked.dsk disk.img "the refused add"

cp disk.img race.dsk
for round in 1 2 3 4 5 6 7 8 9 10; do
    head -c $((round * 700)) /dev/urandom > "a$round.bin"
    head -c $((round * 900)) /dev/urandom > "b$round.bin"
    "$vkdisk" add race.dsk "a$round.bin" </dev/null 2>/dev/null &
    pa=$!
    "$vkdisk" add race.dsk "b$round.bin" </dev/null 2>/dev/null &
    pb=$!
    wait $pa; ra=$?
    wait $pb; rb=$?
    for pair in "A$round.BIN a$round.bin $ra" "B$round.BIN b$round.bin $rb"; do
        set -- $pair
        if [ "$3" -eq 0 ]; then
            has_file race.dsk "$1" "$2" "round $round: an add that reported success"
        else
            count; mdir -i race.dsk "::$1" >/dev/null 2>&1 && fail "round $round: a refused add left $1"
        fi
    done
done
check "two writers at once: fsck.fat finds race.dsk clean" fsck_clean race.dsk

# --- the link and the mode of an image stay ---------------------------------------------
cp disk.img real.dsk
chmod 640 real.dsk
ln -s real.dsk link.dsk
expect_rc 0 "add through a symbolic link" "$vkdisk" add link.dsk x.txt
count; [ -L link.dsk ] || fail "the link stays a link"
count; [ "$(stat -c %a real.dsk)" = 640 ] || fail "the image keeps its mode: $(stat -c %a real.dsk)"
has_file real.dsk X.TXT x.txt "add through a symbolic link"

summary vkdisk_save
