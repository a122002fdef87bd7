#!/usr/bin/env bash
# Benchmarks the file operations (not a test): one workflow on a 1.44 MB
# image run by whole processes, vkdisk against mtools in the same rounds
# (make the image, add 100 files of 0 to 12 KB, list it, extract every file,
# delete every file), a folder tree the same way (1,000 files in 50 folders:
# add the tree, list it recursively, extract it whole), both in a tmpfs
# folder and in a folder on the disk; beside each phase the user-mode
# instructions (callgrind) and system calls (strace -c -f) of one run
# outside the timed rounds. Then small commands (ls, add and rm of one
# file) on a 1.44 MB and a 32 MB image, ls and a 1 MB add in a partition of
# a 1 GB image against a floppy, one add of 500, 1,000 and 2,000
# files into a folder and into a large root against mcopy, a catalogue of
# 2,000 images against a shell loop of mdir, and last the engine in process.
#   scripts/bench.sh [ROUNDS]     (15 or more; 21 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-21}
[ "$rounds" -ge 15 ] || { echo "bench: give 15 rounds or more" >&2; exit 2; }
bash scripts/bootstrap.sh strace valgrind  # the counted runs: system calls and instructions
# A release build of its own: no sanitizers, no tests.
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVK_BUILD_TESTS=OFF -DVK_BENCH=ON >/dev/null
cmake --build build/bench -j "$(nproc)" --target vkdisk fat_bench >/dev/null

vkdisk=$PWD/build/bench/src/vkdisk/vkdisk
# The workflow runs in both places, each with its own inputs, images and
# extractions; the rest runs in the tmpfs folder.
declare -A place_dir
place_dir[tmpfs]=$(mktemp -d /dev/shm/vk-bench.XXXXXX)
place_dir[disk]=$(mktemp -d /var/tmp/vk-bench.XXXXXX)
places=(tmpfs disk)
trap 'rm -rf "${place_dir[tmpfs]}" "${place_dir[disk]}"' EXIT
make_inputs() {  # folder
    mkdir -p "$1/in"
    for i in $(seq 0 99); do
        if [ $((i % 10)) -eq 0 ]; then size=$i; else size=$(( (i * 7919) % 12288 )); fi
        head -c "$size" /dev/urandom > "$1/in/FILE$i.BIN"
    done
    mkdir -p "$1/tree"
    for d in $(seq 10 59); do
        mkdir "$1/tree/D$d"
        for i in $(seq 10 29); do head -c $(( (d * 100 + i) * 7919 % 1024 )) /dev/urandom > "$1/tree/D$d/F$i.BIN"; done
    done
}
for place in "${places[@]}"; do make_inputs "${place_dir[$place]}"; done
work=${place_dir[tmpfs]}
export MTOOLS_SKIP_CHECK=1
phases=(new add list extract delete)
tree_phases=(add list extract)

# Sets children_us to the processor time, user and system, of every process
# this shell has waited for. Neither this nor timed starts a process, not
# even a subshell: its time would fall into the span measured, and its
# processor time into the children's.
children_cpu() {
    local user system
    times >"$work/times"
    { read -r _; read -r user system; } <"$work/times"
    to_us "$user"
    children_us=$us
    to_us "$system"
    children_us=$((children_us + us))
}
to_us() {  # 0m0.012345s -> us
    us=0
    [[ $1 =~ ^([0-9]+)m([0-9]+)[.,]([0-9]+)s$ ]] || return 0
    local frac=${BASH_REMATCH[3]}000000
    us=$(( (10#${BASH_REMATCH[1]} * 60 + 10#${BASH_REMATCH[2]}) * 1000000 + 10#${frac:0:6} ))
}
# Runs one phase, quietly, and adds its wall and processor time to the
# named round arrays.
declare -A took cpu
timed() {  # key command...
    local key=$1 t0 t1 c0 c1
    shift
    children_cpu
    c0=$children_us
    t0=${EPOCHREALTIME/[.,]/}
    "$@" >/dev/null || { echo "bench: failed: $*" >&2; exit 1; }
    t1=${EPOCHREALTIME/[.,]/}
    children_cpu
    c1=$children_us
    took[$key]="${took[$key]:-} $((10#$t1 - 10#$t0))"
    cpu[$key]="${cpu[$key]:-} $((c1 - c0))"
}

# One run of each command, outside the timed rounds, under a counter:
# user-mode instructions (callgrind: perf's counters are not open to us
# everywhere) or system calls (strace -c -f).
declare -A instr calls
counted() {  # key command...
    local key=$1 n
    shift
    case $counter in
    instr)
        valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" >/dev/null 2>"$work/counted" ||
            { echo "bench: failed under callgrind: $*" >&2; exit 1; }
        n=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/counted" | tail -1)
        instr[$key]=$n ;;
    calls)
        strace -c -f -o "$work/counted" "$@" >/dev/null || { echo "bench: failed under strace: $*" >&2; exit 1; }
        n=$(awk '$NF == "total" {print $4}' "$work/counted")
        calls[$key]=$n ;;
    esac
}
# The rounds run each phase through $run: timed, or counted once.
run=timed
vk_round() {
    $run "$place.vk.new" "$vkdisk" new "$work/vk.dsk" --format F0 --boot msdos
    $run "$place.vk.add" "$vkdisk" add "$work/vk.dsk" "$work"/in/*
    $run "$place.vk.list" "$vkdisk" ls "$work/vk.dsk"
    $run "$place.vk.extract" "$vkdisk" get "$work/vk.dsk" --all -d "$work/out-vk$r"
    $run "$place.vk.delete" "$vkdisk" rm "$work/vk.dsk" '*' --force
}
mt_round() {
    $run "$place.mt.new" mformat -C -i "$work/mt.dsk" -f 1440 ::
    $run "$place.mt.add" mcopy -i "$work/mt.dsk" "$work"/in/* ::
    $run "$place.mt.list" mdir -i "$work/mt.dsk" ::
    $run "$place.mt.extract" mcopy -n -i "$work/mt.dsk" '::*' "$work/out-mt$r/"
    $run "$place.mt.delete" mdel -i "$work/mt.dsk" '::*'
}

tree_round() {
    "$vkdisk" new "$work/tvk.dsk" --format F0 --boot msdos
    mformat -C -i "$work/tmt.dsk" -f 1440 ::
    mkdir "$work/tout-vk$r" "$work/tout-mt$r"
    if [ $((r % 2)) -eq 1 ]; then tree_vk; tree_mt; else tree_mt; tree_vk; fi
}
tree_vk() {
    $run "$place.vk.tree.add" "$vkdisk" add "$work/tvk.dsk" -r "$work"/tree/*
    $run "$place.vk.tree.list" "$vkdisk" ls "$work/tvk.dsk" -R
    $run "$place.vk.tree.extract" "$vkdisk" get "$work/tvk.dsk" --all -d "$work/tout-vk$r"
}
tree_mt() {
    $run "$place.mt.tree.add" mcopy -s -i "$work/tmt.dsk" "$work"/tree/* ::
    $run "$place.mt.tree.list" mdir -/ -i "$work/tmt.dsk" ::
    $run "$place.mt.tree.extract" mcopy -s -n -i "$work/tmt.dsk" '::*' "$work/tout-mt$r/"
}

# The same input file, extracted by both in round $1, byte for byte (mtools
# may change the case of a name).
check_extractions() {
    local f name vk mt bad=0
    for f in "$work"/in/*; do
        name=${f##*/}
        vk=$(find "$work/out-vk$1" -maxdepth 1 -iname "$name")
        mt=$(find "$work/out-mt$1" -maxdepth 1 -iname "$name")
        if [ -z "$vk" ] || [ -z "$mt" ] || ! cmp -s "$f" "$vk" || ! cmp -s "$f" "$mt"; then
            echo "bench: $name was not extracted byte-identical by both" >&2
            bad=1
        fi
    done
    return $bad
}

# Each round extracts into folders of its own, removed only at the end: files
# deleted just before make the file system slower to create new ones, and
# more so from round to round.
workflow_rounds() {
    for r in $(seq "$rounds"); do
        rm -f "$work/vk.dsk" "$work/mt.dsk"
        mkdir "$work/out-vk$r" "$work/out-mt$r"
        # Alternate the order, so that neither always runs on a warmer cache.
        if [ $((r % 2)) -eq 1 ]; then vk_round; mt_round; else mt_round; vk_round; fi
    done
    check_extractions 1 || exit 1
    check_extractions "$rounds" || exit 1
    for r in $(seq "$rounds"); do
        rm -f "$work/tvk.dsk" "$work/tmt.dsk"
        tree_round
    done
    for r in 1 "$rounds"; do
        diff -r "$work/tree" "$work/tout-vk$r" >/dev/null && diff -r "$work/tree" "$work/tout-mt$r" >/dev/null ||
            { echo "bench: the tree was not extracted identical by both in round $r" >&2; exit 1; }
    done
}
# The counted runs: the same commands once more, on fresh images and into
# folders of their own, first under callgrind, then under strace.
counted_runs() {
    r=$rounds
    for counter in instr calls; do
        run=counted
        r=$((r + 1))
        rm -f "$work/vk.dsk" "$work/mt.dsk" "$work/tvk.dsk" "$work/tmt.dsk"
        mkdir "$work/out-vk$r" "$work/out-mt$r"
        vk_round
        mt_round
        tree_round
    done
    run=timed
}
for place in "${places[@]}"; do
    work=${place_dir[$place]}
    workflow_rounds
done
place=tmpfs
work=${place_dir[tmpfs]}
counted_runs

# Small commands on a small and a large image holding the same 100 files:
# what a command costs beyond its own work is what it pays for the image.
big_layout=sectors=65535,cluster=32,fat=6,heads=2,track=63,media=F0
sizes=(144 32)
"$vkdisk" new "$work/s144.dsk" --format F0 --boot msdos >/dev/null
"$vkdisk" new "$work/s32.dsk" --custom "$big_layout,root=512" >/dev/null
for z in "${sizes[@]}"; do
    "$vkdisk" add "$work/s$z.dsk" "$work"/in/* >/dev/null
    cp "$work/s$z.dsk" "$work/m$z.dsk"
done
head -c 5000 /dev/urandom > "$work/ONE.BIN"
small_commands=(ls add rm)
small_vk() {  # size
    timed "small.vk.ls.$1" "$vkdisk" ls "$work/s$1.dsk"
    timed "small.vk.add.$1" "$vkdisk" add "$work/s$1.dsk" "$work/ONE.BIN"
    timed "small.vk.rm.$1" "$vkdisk" rm "$work/s$1.dsk" ONE.BIN --force
}
small_mt() {  # size
    timed "small.mt.ls.$1" mdir -i "$work/m$1.dsk" ::
    timed "small.mt.add.$1" mcopy -i "$work/m$1.dsk" "$work/ONE.BIN" ::
    timed "small.mt.rm.$1" mdel -i "$work/m$1.dsk" ::ONE.BIN
}
for r in $(seq "$rounds"); do
    for z in "${sizes[@]}"; do
        if [ $((r % 2)) -eq 1 ]; then small_vk "$z"; small_mt "$z"; else small_mt "$z"; small_vk "$z"; fi
    done
done

# The same two commands in a partition of a 1 GB image and on a floppy: the
# root listed and a 1 MB file added, each round on fresh copies (the 1 GB
# image is sparse, so a copy costs what it holds).
"$vkdisk" new "$work/gb.dsk" --partitions 1000M >/dev/null
"$vkdisk" new "$work/fl.dsk" --format F0 --boot msdos >/dev/null
head -c 1048576 /dev/urandom > "$work/MB.BIN"
for r in $(seq "$rounds"); do
    cp --sparse=always "$work/gb.dsk" "$work/gbr.dsk"
    cp "$work/fl.dsk" "$work/flr.dsk"
    if [ $((r % 2)) -eq 1 ]; then
        timed "part.ls.gb" "$vkdisk" ls "$work/gbr.dsk" -p 1
        timed "part.add.gb" "$vkdisk" add "$work/gbr.dsk" -p 1 "$work/MB.BIN"
        timed "part.ls.fl" "$vkdisk" ls "$work/flr.dsk"
        timed "part.add.fl" "$vkdisk" add "$work/flr.dsk" "$work/MB.BIN"
    else
        timed "part.ls.fl" "$vkdisk" ls "$work/flr.dsk"
        timed "part.add.fl" "$vkdisk" add "$work/flr.dsk" "$work/MB.BIN"
        timed "part.ls.gb" "$vkdisk" ls "$work/gbr.dsk" -p 1
        timed "part.add.gb" "$vkdisk" add "$work/gbr.dsk" -p 1 "$work/MB.BIN"
    fi
done

# One add command of many small files into a folder and into a large root
# of a 32 MB image, each round on a fresh copy of the same empty image.
mkdir "$work/many"
many=()
for i in $(seq 0 1999); do
    head -c $((100 + i % 900)) /dev/urandom > "$work/many/F$i.TXT"
    many+=("$work/many/F$i.TXT")
done
counts=(500 1000 2000)
wheres=(folder root)
"$vkdisk" new "$work/big-root.dsk" --custom "$big_layout,root=2048" >/dev/null
cp "$work/big-root.dsk" "$work/big-folder.dsk"
"$vkdisk" mkdir "$work/big-folder.dsk" FOLDER >/dev/null
declare -A vk_to=([root]="" [folder]="--to FOLDER") mt_to=([root]="::" [folder]="::FOLDER")
# Both images of round 1 hold every file added, as each tool lists them.
check_many() {  # where count
    local vk mt
    vk=$(mdir -b -i "$work/vkm.dsk" "${mt_to[$1]}" | grep -c '\.TXT$')
    mt=$(mdir -b -i "$work/mtm.dsk" "${mt_to[$1]}" | grep -c '\.TXT$')
    [ "$vk" -eq "$2" ] && [ "$mt" -eq "$2" ] || { echo "bench: $2 files into the $1: vkdisk $vk, mtools $mt" >&2; exit 1; }
}
many_vk() {  # where count
    cp "$work/big-$1.dsk" "$work/vkm.dsk"
    # shellcheck disable=SC2086
    timed "many.vk.$1.$2" "$vkdisk" add "$work/vkm.dsk" ${vk_to[$1]} "${many[@]:0:$2}"
}
many_mt() {  # where count
    cp "$work/big-$1.dsk" "$work/mtm.dsk"
    timed "many.mt.$1.$2" mcopy -i "$work/mtm.dsk" "${many[@]:0:$2}" "${mt_to[$1]}"
}
for r in $(seq "$rounds"); do
    for where in "${wheres[@]}"; do
        for c in "${counts[@]}"; do
            if [ $((r % 2)) -eq 1 ]; then many_vk "$where" "$c"; many_mt "$where" "$c"; else many_mt "$where" "$c"; many_vk "$where" "$c"; fi
            [ "$r" -ne 1 ] || check_many "$where" "$c"
        done
    done
done

median() {  # microseconds... -> milliseconds
    printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {m = NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2; printf "%.1f", m/1000}'
}
# Per round: the sum of its phases.
round_totals() {  # array-name prefix
    local -n spans=$1
    local p i t
    local -a sum=()
    for p in "${phases[@]}"; do
        i=0
        for t in ${spans[$2.$p]}; do sum[i]=$(( ${sum[i]:-0} + t )); i=$((i + 1)); done
    done
    echo "${sum[@]}"
}
ratio() { echo "$1 / $2" | bc -l; }
millions() { echo "${1:-0} / 1000000" | bc -l; }
# A phase's times, and beside them its counted run's instructions (millions)
# and system calls, vkdisk then mtools.
row() {  # label vk-ms mt-ms [count-key]
    printf '  %-9s %7s ms %7s ms %7.2f' "$1" "$2" "$3" "$(ratio "$2" "$3")"
    if [ -n "${4:-}" ]; then
        printf '   %8.1f %8.1f   %6s %6s' "$(millions "${instr[tmpfs.vk.$4]:-}")" "$(millions "${instr[tmpfs.mt.$4]:-}")" \
            "${calls[tmpfs.vk.$4]:-}" "${calls[tmpfs.mt.$4]:-}"
    fi
    echo
}
for place in "${places[@]}"; do
    echo "vkdisk against mtools on one workflow in the $place folder ${place_dir[$place]%/*}, median of $rounds rounds (whole processes):"
    printf '  %-9s %10s %10s %7s   %-17s   %s\n' phase vkdisk mtools ratio "Minstr vk    mt" "syscalls vk  mt"
    for p in "${phases[@]}"; do
        # shellcheck disable=SC2086
        row "$p" "$(median ${took[$place.vk.$p]})" "$(median ${took[$place.mt.$p]})" "$p"
    done
    # shellcheck disable=SC2046
    row workflow "$(median $(round_totals took "$place.vk"))" "$(median $(round_totals took "$place.mt"))"
    # Processor time is what other work on the machine disturbs least; waiting
    # for the disk (a save's flush) is not in it.
    # shellcheck disable=SC2046
    row "cpu time" "$(median $(round_totals cpu "$place.vk"))" "$(median $(round_totals cpu "$place.mt"))"
    echo "  (both extractions byte-identical to the files added)"
    echo "A tree of 1,000 files in 50 folders (add -r, ls -R, get --all against mcopy -s, mdir -/):"
    for p in "${tree_phases[@]}"; do
        # shellcheck disable=SC2086
        row "$p" "$(median ${took[$place.vk.tree.$p]})" "$(median ${took[$place.mt.tree.$p]})" "tree.$p"
    done
    echo "  (both trees extracted identical to the one added)"
done
echo "  (instructions and system calls: one run in the tmpfs folder, outside the timed rounds)"

echo "Small commands on images of the same 100 files, median of $rounds rounds (tmpfs):"
printf '  %-14s %10s %10s %7s\n' command "1.44 MB" "32 MB" ratio
for tool in vk mt; do
    for c in "${small_commands[@]}"; do
        # shellcheck disable=SC2086
        a=$(median ${took[small.$tool.$c.144]})
        # shellcheck disable=SC2086
        b=$(median ${took[small.$tool.$c.32]})
        printf '  %-14s %7s ms %7s ms %7.2f\n' "$([ $tool = vk ] && echo vkdisk || echo mtools) $c" "$a" "$b" "$(ratio "$b" "$a")"
    done
done

echo "A partition of a 1 GB image against a 1.44 MB floppy, median of $rounds rounds (tmpfs):"
printf '  %-14s %10s %10s %7s\n' command "1.44 MB" "1 GB, p 1" ratio
for c in ls add; do
    # shellcheck disable=SC2086
    a=$(median ${took[part.$c.fl]})
    # shellcheck disable=SC2086
    b=$(median ${took[part.$c.gb]})
    printf '  %-14s %7s ms %7s ms %7.2f\n' "vkdisk $c" "$a" "$b" "$(ratio "$b" "$a")"
done
echo "  (add: one file of 1 MB; the 1 GB image holds one FAT16 partition)"

echo "One add of many files on a 32 MB image, median of $rounds rounds (tmpfs; vkdisk add against mcopy):"
printf '  %-24s %10s %10s %7s\n' "" vkdisk mtools ratio
for where in "${wheres[@]}"; do
    for c in "${counts[@]}"; do
        label="$c files into $([ "$where" = root ] && echo "the root" || echo "a folder")"
        # shellcheck disable=SC2086
        printf '  %-24s %7s ms %7s ms %7.2f\n' "$label" "$(median ${took[many.vk.$where.$c]})" \
            "$(median ${took[many.mt.$where.$c]})" \
            "$(ratio "$(median ${took[many.vk.$where.$c]})" "$(median ${took[many.mt.$where.$c]})")"
    done
done
echo "  (the root holds 2,048 entries; both images of round 1 list every file added)"

# A collection of 2,000 images of 720 KB, each holding the same 20 files
# and a folder: vkdisk catalog --json of the whole folder, with its workers,
# against a shell loop of mdir -/ over the plain images, warm in the page
# cache (tmpfs). Where vkdisk opens gzipped images, half of the collection is
# gzipped (the loop lists the same images unpacked); where it does not, the
# collection is all plain. Three rounds each: the loop alone takes seconds.
catalog_dir=$work/catalog
mkdir -p "$catalog_dir/plain" "$catalog_dir/mixed" "$catalog_dir/files"
for i in $(seq 10 29); do head -c $(( i * 997 )) /dev/urandom > "$catalog_dir/files/F$i.BIN"; done
"$vkdisk" new "$catalog_dir/base.dsk" >/dev/null 2>&1
mmd -i "$catalog_dir/base.dsk" ::DIR
mcopy -i "$catalog_dir/base.dsk" "$catalog_dir"/files/F1?.BIN ::
mcopy -i "$catalog_dir/base.dsk" "$catalog_dir"/files/F2?.BIN ::DIR
gzip -c "$catalog_dir/base.dsk" > "$catalog_dir/base.dsk.gz"
gzipped=0
# info --json fails unless the image could be read: a gzip file taken for a
# plain image is not.
"$vkdisk" info --json "$catalog_dir/base.dsk.gz" >/dev/null 2>&1 && gzipped=1
for i in $(seq 1000 2999); do
    cp "$catalog_dir/base.dsk" "$catalog_dir/plain/D$i.DSK"
    if [ $gzipped -eq 1 ] && [ $((i % 2)) -eq 1 ]; then
        cp "$catalog_dir/base.dsk.gz" "$catalog_dir/mixed/D$i.DSK.gz"
    else
        cp "$catalog_dir/base.dsk" "$catalog_dir/mixed/D$i.DSK"
    fi
done
mdir_loop() { for f in "$catalog_dir"/plain/*.DSK; do mdir -/ -i "$f" :: >/dev/null || return 1; done; }
catalog_round() { "$vkdisk" catalog "$catalog_dir/mixed" --json >"$catalog_dir/catalog.json"; }
catalog_round && mdir_loop  # warms the cache
for round in 1 2 3; do
    timed catalog.vk catalog_round
    timed catalog.mt mdir_loop
done
python3 -c 'import json, sys; r = json.load(open(sys.argv[1])); sys.exit(0 if len(r) == 2000 and all(x["readable"] and len(x["files"]) == 21 for x in r) else 1)' \
    "$catalog_dir/catalog.json" || { echo "bench: the catalogue does not describe every image" >&2; exit 1; }
# shellcheck disable=SC2086
vk_ms=$(median ${took[catalog.vk]}); mt_ms=$(median ${took[catalog.mt]})
# shellcheck disable=SC2086
vk_cpu=$(median ${cpu[catalog.vk]})
echo "A catalogue of 2,000 images of 720 KB ($([ $gzipped -eq 1 ] && echo "half of them gzipped" || echo "all plain: this vkdisk opens no .gz")), median of 3 rounds (tmpfs, $(nproc) processors):"
printf '  %-34s %10s %10s %9s\n' "" "wall" "processor" "speed-up"
printf '  %-34s %7s ms %7s ms %9.1f\n' "vkdisk catalog --json" "$vk_ms" "$vk_cpu" "$(ratio "$mt_ms" "$vk_ms")"
printf '  %-34s %7s ms\n' "shell loop of mdir -/ (plain images)" "$mt_ms"
echo "  (processor time over wall time of the catalogue: $(printf '%.2f' "$(ratio "$vk_cpu" "$vk_ms")") cores busy)"
rm -rf "$catalog_dir"

# The engine in process last: the thousands of files it makes and deletes
# would slow the creation of files in the workflow above for a while.
build/bench/tests/bench/fat_bench 20
