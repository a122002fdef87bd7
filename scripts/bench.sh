#!/usr/bin/env bash
# Benchmarks the file operations (not a test): the engine in process, then
# one workflow on a 1.44 MB image run by whole processes, vkdisk against
# mtools in the same rounds: make the image, add 100 files of 0 to 12 KB,
# list it, extract every file, delete every file.
#   scripts/bench.sh [ROUNDS]     (15 or more; 21 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-21}
[ "$rounds" -ge 15 ] || { echo "bench: give 15 rounds or more" >&2; exit 2; }
bash scripts/bootstrap.sh
# A release build of its own: no sanitizers, no tests.
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVK_BUILD_TESTS=OFF -DVK_BENCH=ON >/dev/null
cmake --build build/bench -j "$(nproc)" --target vkdisk fat_bench >/dev/null
build/bench/tests/bench/fat_bench 20

vkdisk=$PWD/build/bench/src/vkdisk/vkdisk
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in"
for i in $(seq 0 99); do
    if [ $((i % 10)) -eq 0 ]; then size=$i; else size=$(( (i * 7919) % 12288 )); fi
    head -c "$size" /dev/urandom > "$work/in/FILE$i.BIN"
done
export MTOOLS_SKIP_CHECK=1
phases=(new add list extract delete)

# Microseconds since the epoch, without starting a process.
now() { local t=${EPOCHREALTIME/[.,]/}; echo "${t#0}"; }
# Runs one phase, quietly, and adds its time to the named round array.
declare -A took
timed() {  # key command...
    local key=$1 t0 t1
    shift
    t0=$(now)
    "$@" >/dev/null || { echo "bench: failed: $*" >&2; exit 1; }
    t1=$(now)
    took[$key]="${took[$key]:-} $((t1 - t0))"
}

vk_round() {
    timed vk.new "$vkdisk" new "$work/vk.dsk" --format F0 --boot msdos
    timed vk.add "$vkdisk" add "$work/vk.dsk" "$work"/in/*
    timed vk.list "$vkdisk" ls "$work/vk.dsk"
    timed vk.extract "$vkdisk" get "$work/vk.dsk" --all -d "$work/out-vk"
    timed vk.delete "$vkdisk" rm "$work/vk.dsk" '*' --force
}
mt_round() {
    timed mt.new mformat -C -i "$work/mt.dsk" -f 1440 ::
    timed mt.add mcopy -i "$work/mt.dsk" "$work"/in/* ::
    timed mt.list mdir -i "$work/mt.dsk" ::
    timed mt.extract mcopy -n -i "$work/mt.dsk" '::*' "$work/out-mt/"
    timed mt.delete mdel -i "$work/mt.dsk" '::*'
}

# The same input file, extracted by both, byte for byte (mtools may change
# the case of a name).
check_extractions() {
    local f name vk mt bad=0
    for f in "$work"/in/*; do
        name=${f##*/}
        vk=$(find "$work/out-vk" -maxdepth 1 -iname "$name")
        mt=$(find "$work/out-mt" -maxdepth 1 -iname "$name")
        if [ -z "$vk" ] || [ -z "$mt" ] || ! cmp -s "$f" "$vk" || ! cmp -s "$f" "$mt"; then
            echo "bench: $name was not extracted byte-identical by both" >&2
            bad=1
        fi
    done
    return $bad
}

for r in $(seq "$rounds"); do
    rm -rf "$work/vk.dsk" "$work/mt.dsk" "$work/out-vk" "$work/out-mt"
    mkdir -p "$work/out-vk" "$work/out-mt"
    # Alternate the order, so that neither always runs on a warmer cache.
    if [ $((r % 2)) -eq 1 ]; then vk_round; mt_round; else mt_round; vk_round; fi
    if [ "$r" -eq 1 ]; then check_extractions || exit 1; fi
done
check_extractions || exit 1

median() {  # microseconds... -> milliseconds
    printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {m = NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2; printf "%.1f", m/1000}'
}
# Per round: the sum of its phases.
round_totals() {  # tool
    local p i t
    local -a sum=()
    for p in "${phases[@]}"; do
        i=0
        for t in ${took[$1.$p]}; do sum[i]=$(( ${sum[i]:-0} + t )); i=$((i + 1)); done
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
row workflow "$(median $(round_totals vk))" "$(median $(round_totals mt))"
echo "  (both extractions byte-identical to the files added)"
