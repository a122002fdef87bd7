#!/usr/bin/env bash
# Runs the libFuzzer targets over the engine.
#   scripts/fuzz.sh [SECONDS]     each target for SECONDS (default 600), in parallel
# Findings land in build/fuzz/findings/<target>/; the corpora grow in
# build/fuzz/corpus/<target>/ from the seeds made here.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
bash scripts/bootstrap.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
bash tests/fuzz/make_seeds.sh build/fuzz/seeds build/fuzz/src/vkdisk/vkdisk

status=0
pids=()
for target in open_list extract operations partition_table check containers dmk basic; do
    corpus=build/fuzz/corpus/$target
    findings=build/fuzz/findings/$target
    mkdir -p "$corpus" "$findings"
    seeds=build/fuzz/seeds/images
    [ "$target" = operations ] && seeds=build/fuzz/seeds/operations
    [ "$target" = partition_table ] && seeds=build/fuzz/seeds/partitions
    # Containers: small inputs, and no allocation past what their data can
    # unpack to, whatever they claim (the engine's limit is 4 GBytes).
    limits=(-max_len=200000 -rss_limit_mb=2048)
    dict=tests/fuzz/fat12.dict
    [ "$target" = containers ] && seeds=build/fuzz/seeds/containers && limits=(-max_len=4096 -malloc_limit_mb=64)
    [ "$target" = dmk ] && seeds=build/fuzz/seeds/dmk && dict=tests/fuzz/dmk.dict
    [ "$target" = basic ] && seeds=build/fuzz/seeds/basic && dict=tests/fuzz/basic.dict && limits=(-max_len=4096)
    ( build/fuzz/tests/fuzz/${target}_fuzzer "$corpus" "$seeds" \
        -dict="$dict" "${limits[@]}" -max_total_time="$seconds" \
        -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" >"build/fuzz/$target.log" 2>&1 ) &
    pids+=($!)
done
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || status=1
done
for target in open_list extract operations partition_table check containers dmk basic; do
    echo "== $target"
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)|cov: ' "build/fuzz/$target.log" | tail -4
    if ls build/fuzz/findings/$target/* >/dev/null 2>&1; then
        echo "FINDINGS in build/fuzz/findings/$target"
        status=1
    fi
done
exit $status
