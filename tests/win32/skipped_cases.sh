#!/bin/sh
# The skipped Wine cases of one ctest run. "clear" (before the Wine tests)
# removes the lists the test programs leave beside them; "report" (after
# them) prints every skipped case with its reason and their count, and exits
# 77, which ctest shows as Skipped, when there was any.
set -eu
mode=$1
build=$2
case $mode in
clear)
    find "$build" -name '*.exe.skipped' -type f -delete
    ;;
report)
    lists=$(find "$build" -name '*.exe.skipped' -type f | sort)
    if [ -z "$lists" ]; then
        echo "Skipped Wine cases: 0"
        exit 0
    fi
    # shellcheck disable=SC2086
    count=$(cat $lists | wc -l)
    # shellcheck disable=SC2086
    cat $lists | tr -d '\r'
    echo "Skipped Wine cases: $count"
    exit 77
    ;;
*)
    echo "usage: $0 clear|report BUILD_DIR" >&2
    exit 2
    ;;
esac
