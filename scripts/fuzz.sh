#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang in build/fuzz and runs
# each for the given number of seconds, seeded with the picture files of
# the tests (and a few small files made with ImageMagick, JPEG, PNG and
# TIFF among them, when the convert on the PATH is ImageMagick's; another
# program of that name is passed over)
# and with compiled skins (the built-in one, and two python3 makes) and
# stored proxy settings and native playlists built with python3.
# New inputs collect in build/fuzz/corpus/<target>, findings in
# build/fuzz/artifacts/<target>. Usage: scripts/fuzz.sh SECONDS [TARGET...]
# Exit code non-zero when a target finds something.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift

scripts/deps.sh build
missing=()
for package in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

source scripts/build-tools.sh
build=build/fuzz
twl_phase_start
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTWL_FUZZ=ON \
  -DTWL_TESTS=OFF "${twl_build_tools[@]}" >/dev/null
cmake --build "$build" --target twl_fuzzers twl_builtin_skin
twl_phase_end "fuzz build"

seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds"
cp tests/foundation/bitmapfiles/data/*.{bmp,gif,img,xtrmpic} tests/foundation/bitmaps/data/*.bmp "$seeds"/
cp /proc/meminfo "$seeds/meminfo.txt"
if convert -version 2>/dev/null | grep -q ImageMagick; then
  convert -size 16x12 -seed 5 plasma:fractal "$seeds/source.png"
  convert "$seeds/source.png" -colors 2 "$seeds/im-2.gif"
  convert "$seeds/source.png" -colors 16 -interlace GIF "$seeds/im-16-interlaced.gif"
  convert "$seeds/source.png" -colors 256 "$seeds/im-256.gif"
  convert "$seeds/source.png" -colors 200 -type Palette -compress RLE BMP3:"$seeds/im-rle8.bmp"
  convert "$seeds/source.png" -colors 16 -compress None BMP3:"$seeds/im-4.bmp"
  convert "$seeds/source.png" -define bmp:subtype=RGB565 BMP:"$seeds/im-565.bmp"
  convert -delay 5 -dispose Background "$seeds/im-2.gif" -dispose Previous -page +3+2 "$seeds/im-16-interlaced.gif" \
    "$seeds/im-animation.gif"
  convert "$seeds/source.png" -quality 80 "$seeds/im-baseline.jpg"
  convert "$seeds/source.png" -interlace JPEG -colorspace Gray "$seeds/im-progressive-grey.jpg"
  convert "$seeds/source.png" -alpha set -region 4x4 -alpha transparent +region PNG8:"$seeds/im-palette-trns.png"
  convert "$seeds/source.png" -interlace PNG PNG64:"$seeds/im-interlaced-16.png"
  convert "$seeds/source.png" -monochrome -compress Group4 "$seeds/im-fax.tif"
  convert "$seeds/source.png" -compress LZW "$seeds/im-lzw.tif"
  convert "$seeds/source.png" -compress JPEG "$seeds/im-jpeg.tif"
  rm "$seeds/source.png"
fi
# Compiled skins: the built-in one, and small ones in both forms of their
# data chunk.
cp "$build/resources/builtin.s4u" "$seeds/"
if command -v python3 >/dev/null; then
  python3 tests/skins/container/skin_file.py build "$seeds/stored.s4u" 0
  python3 tests/skins/container/skin_file.py build "$seeds/packed.s4u" 1
fi
if command -v gifsicle >/dev/null && [[ -e "$seeds/im-2.gif" ]]; then
  gifsicle -d 0 -D background "$seeds/im-2.gif" -d 5 -D previous -t 0 -p 2,1 "$seeds/im-16-interlaced.gif" \
    -D asis "$seeds/im-256.gif" >"$seeds/gifsicle-animation.gif"
fi

# Sound files for the WAV reader.
if command -v sox >/dev/null; then
  sox -n -r 8000 -b 16 -c 2 "$seeds/tone-16-stereo.wav" synth 0.005 sine 440
  sox -n -r 11025 -b 8 -c 1 "$seeds/tone-8-mono.wav" synth 0.005 sine 440
fi

# Stored proxy settings ("ProxyData"), as python3's struct module builds them.
python3 - "$seeds" <<'PY'
import struct, sys
w = lambda n: struct.pack('<I', n & 0xFFFFFFFF)
t = lambda s: w(len(s)) + s
seeds = {
    'proxy-none': w(1) + t(b'http') + w(0),
    'proxy-ftp': w(2) + t(b'http') + w(0) + t(b'ftp') + t(b'user@host') + t(b'gate.example') + w(-1) + w(1),
    'proxy-unknown': w(1) + t(b'gopher') + t(b'socks') + t(b'g') + w(1080) + w(0),
}
for name, data in seeds.items():
    open(sys.argv[1] + '/' + name + '.bin', 'wb').write(data)
PY

# Native playlists, as python3's struct module builds them for the tests.
python3 tests/playback/playlistfile/p4u_file.py fixtures "$seeds"
# The burner's damaged native playlists and MCD archives, and text
# playlists (their first byte chooses M3U, PLS or ASX).
python3 tests/kilnar/playlists/playlist_files.py hostile "$seeds"
python3 tests/kilnar/playlists/playlist_files.py native "$seeds/kilnar-kinds.p4u" '<VAR>\list.P4U' \
  'f:40:<VAR>\a.mp3' k2 d:3:/m/folder f:100:file:///m/b.mp3
python3 tests/kilnar/playlists/playlist_files.py mcd "$seeds/kilnar.mcd" /m/a.mp3 'C:\b.mp3'
python3 tests/kilnar/playlists/playlist_files.py mcd-wide "$seeds/kilnar-wide.mcd" /m/ä.mp3
python3 tests/kilnar/playlists/playlist_files.py mcd-nested "$seeds/kilnar-nested.mcd" 17
printf '\x00#EXTM3U\r\na.mp3\r\n/m/b.mp3\r\n\\m\\c.mp3\r\nC:\\d.CDA\r\n' >"$seeds/kilnar-m3u.txt"
printf '\x01[Playlist]\r\nNumberOfEntries=2\r\nFile1=a.mp3\r\nfile2="/m/b.mp3"\r\n' >"$seeds/kilnar-pls.txt"
printf '\x02 MediaType audio\r\n SourceURL="C:\\a.mp3"\r\n' >"$seeds/kilnar-asx.txt"
# A stored CD project: a project holding an image track.
python3 - "$seeds" <<'PY'
import struct, sys
text = lambda s: struct.pack('<H', len(s)) + s
head = lambda kind, children: struct.pack('<IBI', kind, 0, children)
image = head(1010, 0) + text(b'/m/image.iso') + struct.pack('<HBBB', 2048, 1, 1, 2)
project = head(1007, 1) + image + text(b'PROJECT1') + b'\0'
open(sys.argv[1] + '/kilnar-project.prj', 'wb').write(project)
PY

# Command lines as the program receives them, and command blocks as
# another instance sends them (built with python3's struct module).
printf '%s' '-m -p -ag "/m/x y.wav" -ad /m -l /l.p4u -o -s -ia /s/a.s4u -i b.s4u -n -z' >"$seeds/cmdline-all.txt"
printf '%s' 'D:\Music\song.mp3' >"$seeds/cmdline-bare.txt"
printf '%s' '"D:\Lists\Best.P4U"' >"$seeds/cmdline-playlist.txt"
printf '%s' '-ax -pm -q "open -l' >"$seeds/cmdline-errors.txt"
python3 - "$seeds" <<'PY'
import struct, sys
def rec(t, d): return struct.pack('<II', t, len(d)) + d
def block(recs, marker=0): return struct.pack('<I', len(recs) + 4) + recs + struct.pack('<I', marker)
seeds = {
    'block-play': block(rec(5, b'')),
    'block-all': block(rec(9, b'/s/a.s4u\0') + rec(4, struct.pack('<I', 1)) + rec(7, b'/l.p4u\0') +
                       rec(2, b'/m/x.wav\0') + rec(5, b'') + rec(6, struct.pack('<I', 1))),
    'block-unterminated': block(rec(3, struct.pack('<I', 1)) + rec(1, b'open'), 0x58585858),
    'block-cut': struct.pack('<I', 24) + rec(3, struct.pack('<I', 1)) + rec(1, b'x' * 100)[:12],
}
for name, data in seeds.items():
    open(sys.argv[1] + '/' + name + '.bin', 'wb').write(data)
PY

targets=("$@")
if ((${#targets[@]} == 0)); then
  # Only the programs: the build folder also holds generated sources.
  for program in "$build"/fuzz/fuzz_*; do
    if [[ -f $program && -x $program ]]; then targets+=("$(basename "$program")"); fi
  done
fi

# One target; its exit code lands beside its log.
run_target() {
  local target=$1
  local corpus=$build/corpus/$target artifacts=$build/artifacts/$target/ code=0
  mkdir -p "$corpus" "$artifacts"
  # Pictures may be large by right (up to 2 GiB of pixels): the limits
  # leave room for that, and a findings report still stops the run.
  "$build/fuzz/$target" "$corpus" "$seeds" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=60 \
    -artifact_prefix="$artifacts" -print_final_stats=1 2>"$build/$target.log" || code=$?
  echo "$code" >"$build/$target.code"
}

twl_phase_start
# Each fuzzer uses one core: run as many at once as there are cores, then
# report in the targets' order.
parallel=$(nproc)
running=0
for target in "${targets[@]}"; do
  run_target "$target" &
  running=$((running + 1))
  if ((running >= parallel)); then
    wait -n
    running=$((running - 1))
  fi
done
wait
twl_phase_end "fuzz run"

status=0
for target in "${targets[@]}"; do
  echo "== $target: ${seconds}s"
  if [[ $(cat "$build/$target.code") != 0 ]]; then
    status=1
    tail -n 60 "$build/$target.log"
  else
    grep -E "^stat::(number_of_executed_units|new_units_added|peak_rss_mb)" "$build/$target.log" || true
  fi
done
exit $status
