#!/usr/bin/env bash
# Builds the optimised build and runs the program with the given arguments.
# Until the player exists, it runs fndtool on the sample files.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh build

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWL_TESTS=OFF >/dev/null
cmake --build "$build"

bin="$build/bin"
if [[ $# -gt 0 ]]; then
  exec "$bin/fndtool" "$@"
fi
samples/run-samples.sh "$bin/fndtool"
