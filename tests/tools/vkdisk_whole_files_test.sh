#!/usr/bin/env bash
# Host files are replaced only by whole files: an extraction that breaks off
# (a full disk, the file-size limit, a signal) leaves the old host file and
# no half-written one under a real name; a save killed at any moment leaves
# the old image or the new one, and the copies killed saves leave beside it
# go with the next save. get -d makes a missing folder, or names what is
# missing or refused. mtools and cmp judge.
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
cd "$work" || exit 1
chmod 755 "$work"  # the unprivileged user below must reach its folder
# A command in the background, with SIGINT as a terminal would leave it (a
# shell without job control makes its background commands ignore it).
in_background() { env --default-signal=INT "$@" </dev/null 2>/dev/null & }

# The temporary copies beside FILE (.FILE.XXXXXX).
temps_of() { ls -A "$(dirname "$1")" | grep -E "^\.$(basename "$1" | sed 's/\./\\./g')\.[A-Za-z0-9]{6}$"; }
no_temps() { count; local left; left=$(temps_of "$1"); [ -z "$left" ] || fail "$2: left $(echo $left)"; }

mkfs.fat -C -F 12 -f 2 -r 224 -s 1 -S 512 -M 0xF0 -h 0 -g 2/18 disk.img 1440 >/dev/null
head -c 300000 /dev/urandom > big.bin
head -c 5000 /dev/urandom > small.bin
mcopy -i disk.img small.bin ::SMALL.BIN
mcopy -i disk.img big.bin ::BIG.BIN
head -c 250000 /dev/urandom > old.bin

# --- get --force onto a disk that fills up ------------------------------------------
mkdir full
if mount -t tmpfs -o size=600k tmpfs full 2>/dev/null; then
    mounted="$work/full"
    cp old.bin full/BIG.BIN
    head -c 100000 /dev/zero > full/filler
    expect_rc 1 "get --force onto a full disk" "$vkdisk" get disk.img BIG.BIN -d full --force
    stderr_has "There is not enough space on the disk." "the full disk is named"
else
    echo "NOTE: no tmpfs could be mounted; the full disk is stood in for by the file-size limit"
    cp old.bin full/BIG.BIN
    count
    ( ulimit -f 200; exec "$vkdisk" get disk.img BIG.BIN -d full --force ) </dev/null 2>/dev/null
    [ $? -eq 1 ] || fail "get --force beyond the file-size limit reports success"
fi
same_file full/BIG.BIN old.bin "get --force that ran out of room keeps the old file"
no_temps full/BIG.BIN "get --force that ran out of room"
[ -n "$mounted" ] && umount full && mounted=""

# --- the file-size limit during get --all -------------------------------------------
mkdir limited
count
( ulimit -f 200; exec "$vkdisk" get disk.img --all -d limited ) </dev/null 2>"$work/stderr.log"
[ $? -eq 1 ] || fail "get --all beyond the file-size limit: exit status not 1"
count; [ ! -e limited/BIG.BIN ] || fail "get --all beyond the file-size limit left a truncated BIG.BIN"
same_file limited/SMALL.BIN small.bin "get --all beyond the file-size limit writes SMALL.BIN before it"
no_temps limited/BIG.BIN "get --all beyond the file-size limit"

# --- signals during get -------------------------------------------------------------
# SIGTERM, SIGINT and SIGHUP while the first file is written (strace holds
# the write long enough to send the signal then): nothing under a real name
# is half-written, and the file being written is removed.
mkfs.fat -C -F 12 -s 32 -S 512 many.img 32768 >/dev/null
head -c 2000000 /dev/urandom > huge.bin
for n in 1 2; do mcopy -i many.img huge.bin "::HUGE$n.BIN"; done
if strace -o /dev/null -e trace=write -e inject=write:delay_enter=1 true 2>/dev/null; then
    for signal in TERM INT HUP; do
        rm -rf sig && mkdir sig
        in_background strace -o /dev/null -e trace=write -e inject=write:delay_enter=2000000 \
            "$vkdisk" get many.img --all -d sig
        tracer=$!
        for i in $(seq 1 1000); do [ -n "$(ls -A sig)" ] && break; sleep 0.01; done
        kill -s "$signal" "$(pgrep -P "$tracer")"
        wait "$tracer" 2>/dev/null
        rc=$?
        count; [ $rc -eq $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal during get: exit $rc, not ended by it"
        for file in sig/*; do
            [ -e "$file" ] && same_file "$file" huge.bin "SIG$signal during get: $file"
        done
        count; [ -z "$(ls -A sig | grep '^\.')" ] || fail "SIG$signal during get left $(ls -A sig | grep '^\.')"
    done
else
    echo "NOTE: strace cannot hold a write here; no signal is sent during get"
fi

# --- saves killed at any moment -------------------------------------------------------
# A 32 MB image: killed at 30 moments spread over a save, it is always the
# old image or the new one once the next opening has settled the journal;
# the copies killed whole-file writes left go with the next save that runs
# to its end.
mkfs.fat -C -F 12 -s 32 -S 512 kill.before 32768 >/dev/null
cp kill.before kill.img
start=$(date +%s%N)
"$vkdisk" add kill.img big.bin </dev/null 2>/dev/null
took=$((($(date +%s%N) - start) / 1000000))
cp kill.img kill.after
count; cmp -s kill.before kill.after && fail "the add to kill.img changed nothing"
torn=0
seen=0
for round in $(seq 1 30); do
    cp kill.before kill.img
    in_background "$vkdisk" add kill.img big.bin
    victim=$!
    sleep "$(awk -v r="$round" -v t="$took" 'BEGIN { printf "%.3f", r * t * 1.2 / 30 / 1000 }')"
    kill -9 "$victim" 2>/dev/null
    wait "$victim" 2>/dev/null
    "$vkdisk" ls kill.img >/dev/null 2>&1  # the next opening settles a journal
    cmp -s kill.img kill.before || cmp -s kill.img kill.after || torn=$((torn + 1))
    left=$(temps_of kill.img | wc -l)
    [ "$left" -gt "$seen" ] && seen=$left
done
count; [ $torn -eq 0 ] || fail "$torn of 30 saves killed by SIGKILL left an image that is neither old nor new"
echo "NOTE: a save takes ${took} ms; at most $seen copies of killed saves lay beside kill.img at once"
# As a killed save leaves it, and as a live writer holds it: only the first goes.
cp kill.before .kill.img.Dead01
cp kill.before .kill.img.Live01
flock .kill.img.Live01 sleep 60 &
holder=$!
sleep 0.2
cp kill.before kill.img
expect_rc 0 "the next save after the killed ones" "$vkdisk" add kill.img small.bin
count; [ -z "$(temps_of kill.img | grep -v Live01)" ] || fail "the next save left $(temps_of kill.img)"
count; [ -e .kill.img.Live01 ] || fail "the next save removed a copy a live writer holds"
kill "$holder"
wait "$holder" 2>/dev/null
rm -f .kill.img.Live01

# SIGTERM, SIGINT and SIGHUP during a save: the same image or the new one,
# and no copy left even before another save.
torn=0
for round in $(seq 1 15); do
    signal=$(echo TERM INT HUP | cut -d' ' -f$((round % 3 + 1)))
    cp kill.before kill.img
    in_background "$vkdisk" add kill.img big.bin
    victim=$!
    sleep "$(awk -v r="$round" -v t="$took" 'BEGIN { printf "%.3f", r * t * 1.2 / 15 / 1000 }')"
    kill -s "$signal" "$victim" 2>/dev/null
    wait "$victim" 2>/dev/null
    "$vkdisk" ls kill.img >/dev/null 2>&1
    cmp -s kill.img kill.before || cmp -s kill.img kill.after || torn=$((torn + 1))
    no_temps kill.img "SIG$signal in round $round of a save"
done
count; [ $torn -eq 0 ] || fail "$torn of 15 saves ended by a signal left an image that is neither old nor new"

# --- get -d ------------------------------------------------------------------------------
touch plain
mkdir locked
chmod 555 locked
as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"; }
# want exit, -d DIR, what stderr says, as whom
while IFS='|' read -r want dir said who; do
    expect_rc "$want" "get -d $dir" $who "$vkdisk" get disk.img SMALL.BIN -d "$dir"
    if [ "$want" -eq 0 ]; then
        same_file "$dir/SMALL.BIN" small.bin "get -d $dir"
    else
        stderr_has "$said" "get -d $dir says why"
        count; [ ! -e "$dir/SMALL.BIN" ] || fail "get -d $dir wrote SMALL.BIN"
    fi
done <<'EOF'
0|new||
0|new2/||
1|gone/new|The folder 'gone' does not exist.|
1|plain|plain is not a folder|
1|locked|You may not create files in the folder 'locked'.|as_nobody
1|locked/new|You may not create files in the folder 'locked'.|as_nobody
EOF
count; [ ! -e gone ] || fail "get -d gone/new made gone"
expect_rc 1 "get from a missing image" "$vkdisk" get missing.img SMALL.BIN -d made
count; [ ! -e made ] || fail "get from a missing image made its -d folder"

summary vkdisk_whole_files
