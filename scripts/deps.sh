#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when one
# is missing. Usage: scripts/deps.sh build|test|bench (bench: the build's
# and the benchmarks' yardsticks; the tests never need those)
set -euo pipefail

# lld and ccache: every build links with lld and compiles through the
# compiler cache (scripts/build-tools.sh).
build_packages=(
  g++ cmake ninja-build pkg-config lld ccache
  libsqlite3-dev
  libfreetype-dev libpng-dev fonts-dejavu-core
  libjpeg62-turbo-dev libtiff-dev
  zlib1g-dev
  libsdl2-dev
  qt6-base-dev libxcb1-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
)
test_packages=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  python3 sqlite3 imagemagick gifsicle libjpeg-turbo-progs libtiff-tools
  sox strace genisoimage xorriso libarchive-tools p7zip-full
  xvfb xdotool x11-utils trayer openbox
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-tools
  curl python3-pyftpdlib xdg-utils shared-mime-info
)
# pixman, giflib and FFTW are the yardsticks of the stretcher, GIF decoding
# and FFT benchmarks only; the presenter benchmark runs on an Xvfb of its
# own when no display is named. The desktop presenter's tests drive Xvfb
# with the X tools (xdotool; xwininfo and xprop from x11-utils), a window
# manager (openbox) and an XEmbed tray (trayer). strace watches how a
# playlist save reaches the disk. curl is the yardstick of Netvarra's HTTP
# downloads. xdg-mime (xdg-utils) reads the default applications the file
# associations hand the desktop, by the shared MIME database.
bench_packages=(
  libbenchmark-dev libpixman-1-dev libgif-dev libfftw3-dev curl
  xvfb
)

wanted=("${build_packages[@]}")
case "${1:-build}" in
  test) wanted+=("${test_packages[@]}") ;;
  bench) wanted+=("${bench_packages[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
