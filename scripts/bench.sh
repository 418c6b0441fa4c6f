#!/usr/bin/env bash
# Builds the benchmarks in the optimised build (build/release, tests off)
# and runs every benchmark program; arguments go to each program (for
# example --benchmark_filter=GetString).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh bench
source scripts/build-tools.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWL_TESTS=OFF -DTWL_BENCH=ON "${twl_build_tools[@]}" >/dev/null
cmake --build "$build"

status=0
for program in "$build"/bench/*; do
  [[ -x "$program" && -f "$program" ]] || continue
  echo "== $(basename "$program")"
  "$program" "$@" || status=1
done
exit $status
