#!/usr/bin/env bash
# Builds the optimised build and runs the player, `twl`, with the given
# arguments. It runs headless unless TWL_HEADLESS is set to the empty text;
# Ctrl+C (or SIGTERM) ends it through its ordered shut-down. The log is
# build/release/bin/Log.txt.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh build

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWL_TESTS=OFF >/dev/null
cmake --build "$build"

export TWL_HEADLESS=${TWL_HEADLESS-1}
[[ -n "$TWL_HEADLESS" ]] || unset TWL_HEADLESS
exec "$build/bin/twl" "$@"
