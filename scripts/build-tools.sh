# Sourced by the build scripts (test.sh, run.sh, scripts/fuzz.sh,
# scripts/tsan.sh, scripts/bench.sh): every build links with lld and
# compiles through ccache. (mold 1.10, Debian 12's, now and then lays out
# a program whose read-only-after-relocation segment the loader cannot
# protect, and the program does not start; lld links as fast here.) The cache lives outside the checkout (ccache's
# own default folder unless CCACHE_DIR names another), so it survives
# between runs on one machine; paths under the checkout are hashed relative
# to it, so a fresh clone in another folder hits what an earlier one left.
# Usage: source scripts/build-tools.sh from the checkout's root, then
# cmake ... "${twl_build_tools[@]}"
export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-20G}
twl_build_tools=()
if command -v ccache >/dev/null; then
  twl_build_tools+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if command -v ld.lld >/dev/null; then
  twl_build_tools+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld
    -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld)
fi

# Phase timing: with TWL_PHASE_LOG naming a file (.ci/run does), each
# script adds one line "NAME SECONDS" per phase it runs.
twl_phase_start() { twl_phase_began=$SECONDS; }
twl_phase_end() {
  if [[ -n "${TWL_PHASE_LOG:-}" ]]; then echo "$1 $((SECONDS - twl_phase_began))" >>"$TWL_PHASE_LOG"; fi
}
