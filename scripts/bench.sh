#!/usr/bin/env bash
# Benchmarks the file operations (not a test): one workflow on a 1.44 MB
# image run by whole processes, vkdisk against mtools in the same rounds
# (make the image, add 100 files of 0 to 12 KB, list it, extract every file,
# delete every file), a folder tree the same way (1,000 files in 50 folders:
# add the tree, list it recursively, extract it whole), then the engine in
# process.
#   scripts/bench.sh [ROUNDS]     (15 or more; 21 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-21}
[ "$rounds" -ge 15 ] || { echo "bench: give 15 rounds or more" >&2; exit 2; }
bash scripts/bootstrap.sh
# A release build of its own: no sanitizers, no tests.
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVK_BUILD_TESTS=OFF -DVK_BENCH=ON >/dev/null
cmake --build build/bench -j "$(nproc)" --target vkdisk fat_bench >/dev/null

vkdisk=$PWD/build/bench/src/vkdisk/vkdisk
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in"
for i in $(seq 0 99); do
    if [ $((i % 10)) -eq 0 ]; then size=$i; else size=$(( (i * 7919) % 12288 )); fi
    head -c "$size" /dev/urandom > "$work/in/FILE$i.BIN"
done
mkdir -p "$work/tree"
for d in $(seq 10 59); do
    mkdir "$work/tree/D$d"
    for i in $(seq 10 29); do head -c $(( (d * 100 + i) * 7919 % 1024 )) /dev/urandom > "$work/tree/D$d/F$i.BIN"; done
done
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

vk_round() {
    timed vk.new "$vkdisk" new "$work/vk.dsk" --format F0 --boot msdos
    timed vk.add "$vkdisk" add "$work/vk.dsk" "$work"/in/*
    timed vk.list "$vkdisk" ls "$work/vk.dsk"
    timed vk.extract "$vkdisk" get "$work/vk.dsk" --all -d "$work/out-vk$r"
    timed vk.delete "$vkdisk" rm "$work/vk.dsk" '*' --force
}
mt_round() {
    timed mt.new mformat -C -i "$work/mt.dsk" -f 1440 ::
    timed mt.add mcopy -i "$work/mt.dsk" "$work"/in/* ::
    timed mt.list mdir -i "$work/mt.dsk" ::
    timed mt.extract mcopy -n -i "$work/mt.dsk" '::*' "$work/out-mt$r/"
    timed mt.delete mdel -i "$work/mt.dsk" '::*'
}

tree_round() {
    "$vkdisk" new "$work/tvk.dsk" --format F0 --boot msdos
    mformat -C -i "$work/tmt.dsk" -f 1440 ::
    mkdir "$work/tout-vk$r" "$work/tout-mt$r"
    if [ $((r % 2)) -eq 1 ]; then tree_vk; tree_mt; else tree_mt; tree_vk; fi
}
tree_vk() {
    timed vk.tree.add "$vkdisk" add "$work/tvk.dsk" -r "$work"/tree/*
    timed vk.tree.list "$vkdisk" ls "$work/tvk.dsk" -R
    timed vk.tree.extract "$vkdisk" get "$work/tvk.dsk" --all -d "$work/tout-vk$r"
}
tree_mt() {
    timed mt.tree.add mcopy -s -i "$work/tmt.dsk" "$work"/tree/* ::
    timed mt.tree.list mdir -/ -i "$work/tmt.dsk" ::
    timed mt.tree.extract mcopy -s -n -i "$work/tmt.dsk" '::*' "$work/tout-mt$r/"
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

median() {  # microseconds... -> milliseconds
    printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {m = NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2; printf "%.1f", m/1000}'
}
# Per round: the sum of its phases.
round_totals() {  # array-name tool
    local -n spans=$1
    local p i t
    local -a sum=()
    for p in "${phases[@]}"; do
        i=0
        for t in ${spans[$2.$p]}; do sum[i]=$(( ${sum[i]:-0} + t )); i=$((i + 1)); done
    done
    echo "${sum[@]}"
}
echo "vkdisk against mtools on one workflow, median of $rounds rounds (whole processes):"
printf '  %-9s %10s %10s %7s\n' phase vkdisk mtools ratio
row() {  # label vk-ms mt-ms
    printf '  %-9s %7s ms %7s ms %7.2f\n' "$1" "$2" "$3" "$(echo "$2 / $3" | bc -l)"
}
for p in "${phases[@]}"; do
    # shellcheck disable=SC2086
    row "$p" "$(median ${took[vk.$p]})" "$(median ${took[mt.$p]})"
done
# shellcheck disable=SC2046
row workflow "$(median $(round_totals took vk))" "$(median $(round_totals took mt))"
# Processor time is what other work on the machine disturbs least; waiting
# for the disk (a save's flush) is not in it.
# shellcheck disable=SC2046
row "cpu time" "$(median $(round_totals cpu vk))" "$(median $(round_totals cpu mt))"
echo "  (both extractions byte-identical to the files added)"
echo "A tree of 1,000 files in 50 folders (add -r, ls -R, get --all against mcopy -s, mdir -/):"
for p in "${tree_phases[@]}"; do
    # shellcheck disable=SC2086
    row "$p" "$(median ${took[vk.tree.$p]})" "$(median ${took[mt.tree.$p]})"
done
echo "  (both trees extracted identical to the one added)"

# The engine in process last: the thousands of files it makes and deletes
# would slow the creation of files in the workflow above for a while.
build/bench/tests/bench/fat_bench 20
