#!/usr/bin/env bash
# Runs `twl` on an Xvfb of its own with openbox and checks its main window
# from outside, as a user's desktop sees it: one real window at the place
# the program gives it, shaped by the skin's mask, showing exactly what the
# program's snapshot (SIGUSR1) shows; a drag by its caption moves it, and
# the place stored at exit ("MainWindow_WindowRect") is where it went; a
# hover changes a button's picture. A first start's update question
# stands above the main window, and after a click on it the program's
# screen shows each window's own picture. Usage: scripts/desktop-check.sh
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
geometry() { # [WINDOW]: x y width height, the main window by default
  xwininfo -id "${1:-$main}" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print x, y, w, h}'
}

snapshot() { # the program's own picture of its main window, taken now
  local before
  before=$(ls "$work/snap" | grep -c '^MainWindow-')
  kill -USR1 "$twl"
  wait_for bash -c "[[ \$(ls '$work/snap' | grep -c '^MainWindow-') -gt $before ]]"
  # The texts come after the pictures: once they are there, all are whole.
  wait_for test -f "$work/snap/tray-$((before + 1)).txt"
  ls -t "$work/snap"/MainWindow-*.png | head -1
}
# Whether the model's screen (screen-N.png of the latest snapshot) shows
# the pictures of the model's window NAME (NAME-N.png) at X Y inside its
# shape (pixels the snapshot leaves black are outside it).
screen_shows() {
  local name=$1 x=$2 y=$3 n
  n=$(basename "$(ls -t "$work/snap"/MainWindow-*.png | head -1)" .png)
  n=${n#MainWindow-}
  local model="$work/snap/$name-$n.png"
  [[ -f $model ]] || return 1
  local size
  size=$(identify -format '%wx%h' "$model")
  convert "$work/snap/screen-$n.png" -crop "$size+$x+$y" +repage "$work/part.png"
  convert "$model" -fill white +opaque black "$work/mask.png"
  convert "$work/part.png" "$work/mask.png" -compose Multiply -composite "$work/inside.png"
  [[ $(compare -metric AE "$work/inside.png" "$model" null: 2>&1) == 0 ]]
}

# A first start (the registry is new) asks whether to check for updates,
# in a box owned by the main window: it must stand above it.
box=""
find_box() { box=$(xdotool search --onlyvisible --name '^Automatically check for updates\?$' 2>/dev/null | head -1); [[ -n $box ]]; }
check "a first start asks the update question" wait_for find_box
if [[ -n $box ]]; then
  stacked_above() { # upper lower: upper is stacked above lower
    local order
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | while read -r id; do printf '%d\n' "$id"; done)
    [[ $(grep -nx "$1" <<<"$order" | cut -d: -f1) -gt $(grep -nx "$2" <<<"$order" | cut -d: -f1) ]]
  }
  check "the question stands above the main window" wait_for stacked_above "$box" "$main"
  read -r bx by bw bh < <(geometry "$box")
  centre_is_box() {
    snapshot >/dev/null
    local n
    n=$(basename "$(ls -t "$work/snap"/AuxMessageBox-*.png | head -1)" .png)
    [[ $(convert "$work/snap/$n.png" -crop "1x1+$((bw / 2))+$((bh / 2))" -depth 8 txt:- | tail -1 | grep -o '#[0-9A-F]*') == \
       $(import -window root -crop "1x1+$((bx + bw / 2))+$((by + bh / 2))" -depth 8 txt:- | tail -1 | grep -o '#[0-9A-F]*') ]]
  }
  check "the box's centre on the screen is the box's own picture" wait_for centre_is_box
  # A click on the box beside the main window, then the answer "no".
  xdotool mousemove $((bx + 20)) $((by + bh / 2)) click 1
  sleep 0.5
  box_whole() { snapshot >/dev/null && screen_shows AuxMessageBox "$bx" "$by"; }
  check "after a click on it the screen shows the box's whole picture" wait_for box_whole
  xdotool mousemove $((bx + bw * 71 / 100)) $((by + bh * 84 / 100)) click 1
  box_gone() { ! xdotool search --onlyvisible --name '^Automatically check for updates\?$' >/dev/null 2>&1; }
  check "the answer closes the box" wait_for box_gone
fi

read -r x y w h < <(geometry)
check "it is shaped by the skin's mask" bash -c "xwininfo -shape -id $main | grep -q 'Window shape extents:  ${w}x${h}+0+0'"
main_whole() { snapshot >/dev/null && screen_shows MainWindow "$x" "$y"; }
check "the screen shows the main window's own picture" wait_for main_whole
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
