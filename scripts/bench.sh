#!/usr/bin/env bash
# Benchmarks the file operations (not a test): the engine in process, then
# the same work with vkdisk against mcopy/mdir/mdel on one 1.44 MB image.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVK_BUILD_TESTS=OFF -DVK_BENCH=ON >/dev/null
cmake --build build/bench -j "$(nproc)" --target vkdisk fat_bench >/dev/null
build/bench/tests/bench/fat_bench 20

vkdisk=$PWD/build/bench/src/vkdisk/vkdisk
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/out-vk" "$work/out-mt"
for i in $(seq 0 99); do
    if [ $((i % 10)) -eq 0 ]; then size=$i; else size=$(( (i * 7919) % 24000 )); fi
    head -c "$size" /dev/urandom > "$work/in/FILE$i.BIN"
done
export MTOOLS_SKIP_CHECK=1
now() { date +%s.%N; }
phase() {  # label seconds
    printf '  %-8s %8.1f ms\n' "$1" "$(echo "$2 * 1000" | bc -l)"
}
rounds=5
vk_total=0
mt_total=0
declare -A vk mt
for tool in vk mt; do
    for p in add list extract delete; do eval "${tool}[$p]=0"; done
done
for r in $(seq $rounds); do
    "$vkdisk" new "$work/vk.dsk" --format F0 --boot msdos --force
    cp "$work/vk.dsk" "$work/mt.dsk"
    t=$(now); "$vkdisk" add "$work/vk.dsk" "$work"/in/* --force >/dev/null; vk[add]=$(echo "${vk[add]} + $(now) - $t" | bc -l)
    t=$(now); "$vkdisk" ls "$work/vk.dsk" >/dev/null; vk[list]=$(echo "${vk[list]} + $(now) - $t" | bc -l)
    t=$(now); "$vkdisk" get "$work/vk.dsk" --all -d "$work/out-vk" --force >/dev/null; vk[extract]=$(echo "${vk[extract]} + $(now) - $t" | bc -l)
    t=$(now); "$vkdisk" rm "$work/vk.dsk" '*' --force >/dev/null; vk[delete]=$(echo "${vk[delete]} + $(now) - $t" | bc -l)

    t=$(now); mcopy -o -i "$work/mt.dsk" "$work"/in/* :: ; mt[add]=$(echo "${mt[add]} + $(now) - $t" | bc -l)
    t=$(now); mdir -i "$work/mt.dsk" :: >/dev/null; mt[list]=$(echo "${mt[list]} + $(now) - $t" | bc -l)
    t=$(now); mcopy -n -o -i "$work/mt.dsk" '::*' "$work/out-mt/"; mt[extract]=$(echo "${mt[extract]} + $(now) - $t" | bc -l)
    t=$(now); mdel -i "$work/mt.dsk" '::*'; mt[delete]=$(echo "${mt[delete]} + $(now) - $t" | bc -l)
done
cmp -s <(cd "$work/out-vk" && cat $(ls | sort)) <(cd "$work/out-mt" && cat $(ls | sort)) || echo "bench: the two extractions differ!"
echo "vkdisk against mtools, mean of $rounds rounds (whole processes):"
printf '  %-8s %10s %10s %8s\n' phase vkdisk mtools ratio
for p in add list extract delete; do
    v=$(echo "${vk[$p]} * 1000 / $rounds" | bc -l)
    m=$(echo "${mt[$p]} * 1000 / $rounds" | bc -l)
    printf '  %-8s %8.1f ms %7.1f ms %8.2f\n' "$p" "$v" "$m" "$(echo "$v / $m" | bc -l)"
done
