#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a few seconds from the seed
# corpus (the CTest test "fuzz_short"). New inputs go to a scratch folder,
# not into the repository. Usage: fuzz/run-short.sh [SECONDS_PER_TARGET]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
seconds="${1:-5}"
"$here/build.sh"
build="${MUSHAF_FUZZ_BUILD:-$here/../build-fuzz}"
for target in pattern_fuzz model_fuzz pack_fuzz; do
    scratch="$(mktemp -d)"
    log="$scratch.log"
    status=0
    "$build/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/$target-" "$scratch" "$here/corpus/$target" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log"
        echo "$target failed (status $status)"
        rm -rf "$scratch" "$log"
        exit 1
    fi
    echo "$target: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') inputs in $seconds s"
    rm -rf "$scratch" "$log"
done
