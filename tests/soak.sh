#!/usr/bin/env bash
# The long soak, by hand: random reader actions against the window, built
# with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/.
#   tests/soak.sh [BATCHES] [SEED]      (50 actions a batch)
set -euo pipefail
cd "$(dirname "$0")/.."
batches=${1:-100}
seed=${2:-$RANDOM}
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUSHAF_SANITIZE=ON -DMUSHAF_BENCH=OFF
cmake --build build-asan --target mushaf-automation window_process_tests
# a false report inside Qt WebEngine at exit, and D-Bus autolaunch deadlocks under the sanitizer
export ASAN_OPTIONS=detect_leaks=0:new_delete_type_mismatch=0
# an undefined-behaviour report ends the program, so that the soak sees it
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
export QTWEBENGINE_DISABLE_SANDBOX=1
export MUSHAF_SOAK_BATCHES=$batches MUSHAF_SOAK_SEED=$seed
echo "soak: $batches batches of 50 actions, seed $seed"
time xvfb-run -a -s "-screen 0 1280x1024x24" build-asan/tests/window_process_tests --gtest_filter='Soak.*'
