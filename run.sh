#!/usr/bin/env bash
# Builds the optimised build and runs the player, `twl`, with the given
# arguments. On a desktop its windows are real windows; without a display,
# or with TWL_HEADLESS set, it runs headless. Ctrl+C (or SIGTERM) ends it through its ordered shut-down. The log is
# build/release/bin/Log.txt. With TWL_TEST_PLAYER=1 the tests' WAV player
# is built into the program folder's PlugIns (and taken out again when the
# variable is not set), so WAV files play without the media plug-in.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh build
source scripts/build-tools.sh

build=build/release
test_player=OFF
[[ "${TWL_TEST_PLAYER:-}" == 1 ]] && test_player=ON
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWL_TESTS=OFF -DTWL_TEST_PLAYER=$test_player \
  "${twl_build_tools[@]}" >/dev/null
[[ $test_player == ON ]] || rm -f "$build/bin/PlugIns/TestWavPlayer.dll"
cmake --build "$build"

exec "$build/bin/twl" "$@"
