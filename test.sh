#!/usr/bin/env bash
# Builds the test build (AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs the whole test suite. Exit code non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test
source scripts/build-tools.sh

build=build/test
twl_phase_start
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTWL_SANITIZE=ON -DTWL_TESTS=ON "${twl_build_tools[@]}"
cmake --build "$build"
twl_phase_end "test build"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
jobs=$(nproc)
twl_phase_start
status=0
ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@" || status=$?
twl_phase_end "test run"
exit $status
