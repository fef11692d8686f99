#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/, apart from the
# main g++ build. Needs clang and libclang-rt-14-dev (see deps.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${MUSHAF_FUZZ_BUILD:-$root/build-fuzz}"
CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"${MUSHAF_FUZZ_JOBS:-1}"
