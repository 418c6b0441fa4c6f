#!/usr/bin/env bash
# Builds the test build (AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs the whole test suite. Exit code non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTWL_SANITIZE=ON -DTWL_TESTS=ON
cmake --build "$build"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
jobs=$(nproc)
ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"
