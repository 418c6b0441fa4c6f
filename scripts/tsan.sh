#!/usr/bin/env bash
# Builds the suite with ThreadSanitizer (build/tsan) and runs the tests whose
# names match the pattern (all when none is given), or with -L AREA the
# tests of one area (the first folder under tests/: platform, foundation).
# Threaded code is run through this before it is considered done.
# TWL_JOBS limits the build's and the run's parallel jobs (default: every
# core), for machines that others share.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
source scripts/build-tools.sh

build=build/tsan
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTWL_TSAN=ON -DTWL_TESTS=ON "${twl_build_tools[@]}" >/dev/null
jobs=${TWL_JOBS:-$(nproc)}
cmake --build "$build" -j "$jobs"

export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
filter=()
if [[ "${1:-}" == "-L" ]]; then
  filter=(-L "${2:?an area after -L}")
elif [[ -n "${1:-}" ]]; then
  filter=(-R "$1")
fi
ctest --test-dir "$build" --output-on-failure -j "$jobs" "${filter[@]}"
