#!/usr/bin/env bash
# Runs `twl` on an Xvfb of its own with openbox and checks its main window
# from outside, as a user's desktop sees it: one real window at the place
# the program gives it, shaped by the skin's mask, showing exactly what the
# program's snapshot (SIGUSR1) shows; a drag by its caption moves it, and
# the place stored at exit ("MainWindow_WindowRect") is where it went; a
# hover changes a button's picture. Usage: scripts/desktop-check.sh
# [PROGRAM_FOLDER] (default build/release/bin). Prints one line per check
# and exits non-zero when one fails.
set -uo pipefail
bin=$(realpath "${1:-build/release/bin}")
work=$(mktemp -d)
chmod 700 "$work"
mkdir -p "$work/desktop" "$work/snap"
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; wait "${pids[i]}" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -br 2>/dev/null)
pids+=($!)
read -r number <&3
export DISPLAY=":$number" TWL_DESKTOP="$work/desktop" TWL_REGISTRY="$work/registry.sqlite" \
  XDG_RUNTIME_DIR="$work" TWL_SOUND_SINK=null TWL_SNAPSHOT_DIR="$work/snap"
# No session bus: Qt would otherwise try to start one for its accessibility bridge.
export DBUS_SESSION_BUS_ADDRESS=disabled:
unset TWL_HEADLESS WAYLAND_DISPLAY
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
"$bin/twl" >"$work/twl.out" 2>&1 &
twl=$!
pids+=($twl)

failed=0
check() { # name, then a command that succeeds when the check holds
  local name=$1
  shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failed=1; fi
}
wait_for() { for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done; return 1; }

main=""
find_main() { main=$(xdotool search --onlyvisible --class twl 2>/dev/null | head -1); [[ -n $main ]]; }
check "the main window is mapped" wait_for find_main
[[ -n $main ]] || exit 1
geometry() { xwininfo -id "$main" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print x, y, w, h}'; }
read -r x y w h < <(geometry)
check "it is shaped by the skin's mask" bash -c "xwininfo -shape -id $main | grep -q 'Window shape extents:  ${w}x${h}+0+0'"

snapshot() { # the program's own picture of its main window, taken now
  local before
  before=$(ls "$work/snap" | grep -c '^MainWindow-')
  kill -USR1 "$twl"
  wait_for bash -c "[[ \$(ls '$work/snap' | grep -c '^MainWindow-') -gt $before ]]"
  ls -t "$work/snap"/MainWindow-*.png | head -1
}
same_inside_shape() {
  local model real="$work/real.png"
  model=$(snapshot)
  import -window "$main" "$real"
  convert "$model" -fill white +opaque black "$work/mask.png"
  convert "$real" "$work/mask.png" -compose Multiply -composite "$work/inside.png"
  [[ $(compare -metric AE "$work/inside.png" "$model" null: 2>&1) == 0 ]]
}
check "the real window shows the snapshot's pixels inside the shape" wait_for same_inside_shape

# A drag by the caption strip (the top rows, away from the buttons at its right).
xdotool mousemove $((x + 60)) $((y + 6)) mousedown 1 mousemove $((x + 90)) $((y + 30)) \
  mousemove $((x + 130)) $((y + 50)) mousemove $((x + 160)) $((y + 66)) mouseup 1
moved() { [[ $(geometry) == "$((x + 100)) $((y + 60)) $w $h" ]]; }
check "a drag in the move area moves the real window" wait_for moved
read -r x y w h < <(geometry)

xdotool mousemove 1000 760
sleep 0.5
import -window "$main" "$work/away.png"
xdotool mousemove $((x + 48)) $((y + 73))
hovered() { import -window "$main" "$work/over.png"; [[ $(compare -metric AE "$work/away.png" "$work/over.png" null: 2>&1) != 0 ]]; }
check "a hover changes a button's picture" wait_for hovered
check "and the real window still shows the snapshot" wait_for same_inside_shape

kill -TERM "$twl"
wait "$twl"
stored=$(sqlite3 "$TWL_REGISTRY" "select hex(data) from registry where name = 'MainWindow_WindowRect'")
le() { printf '%02X%02X%02X%02X' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
check "the stored MainWindow_WindowRect is the new place" [ "$stored" == "$(le "$x")$(le "$y")$(le "$w")$(le "$h")" ]
exit $failed
