#!/usr/bin/env bash
# Builds the benchmarks in the optimised build (build/release, tests off)
# and runs every benchmark program; arguments go to each program (for
# example --benchmark_filter=GetString).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
# pixman and giflib (libgif-dev) are the yardsticks of the stretcher and
# GIF decoding benchmarks only.
bench_missing=()
for package in libbenchmark-dev libpixman-1-dev libgif-dev; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    bench_missing+=("$package")
  fi
done
if ((${#bench_missing[@]})); then
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${bench_missing[@]}"
fi

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWL_TESTS=OFF -DTWL_BENCH=ON >/dev/null
cmake --build "$build"

status=0
for program in "$build"/bench/*; do
  [[ -x "$program" && -f "$program" ]] || continue
  echo "== $(basename "$program")"
  "$program" "$@" || status=1
done
exit $status
