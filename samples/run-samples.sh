#!/usr/bin/env bash
# Runs fndtool over the samples and says what each step does.
set -uo pipefail
fndtool=$1
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

step() {
  echo
  echo "== $1"
  shift
  echo "\$ fndtool $*"
  "$fndtool" "$@"
  echo "(exit code $?)"
}

step "The tool and the system the platform layer reports" version
step "The English text of a Win32 error code" wintext 183
step "A file read through the file system" cat "file://$here/Notes.txt"
step "The same file through the buffered and length emulators" cat --flags 0x100109 "$here/Notes.txt"
step "A skin-style ini file parsed into typed items (one bad line)" ini "$here/Window.ini" \
  Background:color Transparent:boolean Version:version Margins:margins Opacity:percentage \
  Position:point Transition:transition Width:integer
step "A 24-bit BMP converted to RGB565 and written back as a BMP" convert "$here/Gradient.bmp" "$out/Gradient565.bmp" rgb565
echo "   wrote $(stat -c %s "$out/Gradient565.bmp") bytes"
echo
echo "== Compression through the zlib wrapper and back"
echo "\$ fndtool zdeflate < Notes.txt | fndtool zinflate"
"$fndtool" zdeflate < "$here/Notes.txt" | "$fndtool" zinflate
step "The icon manager's host image list" icons "$here/Notes.txt" "$here/Window.ini"
