#!/usr/bin/env bash
# A longer fuzzing campaign by hand: each target for SECONDS (default 300),
# the corpus it grows kept in build-fuzz/corpus-TARGET/, crashes written to
# build-fuzz/TARGET-crash-*. Usage: fuzz/run-long.sh [SECONDS_PER_TARGET]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
seconds="${1:-300}"
"$here/build.sh"
build="${MUSHAF_FUZZ_BUILD:-$here/../build-fuzz}"
for target in pattern_fuzz model_fuzz pack_fuzz; do
    mkdir -p "$build/corpus-$target"
    echo "== $target, $seconds s"
    start=$(date +%s)
    "$build/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/$target-" "$build/corpus-$target" "$here/corpus/$target" 2>&1 | tail -n 15
    echo "== $target: $(( $(date +%s) - start )) s wall"
done
