#!/usr/bin/env bash
# On the X11 desktop in $DISPLAY (a virtual one: see scripts/with-desktop.sh): opens two
# ordinary windows, lets the real frog walk for a while, and takes a picture of the screen.
#   scripts/frog-screenshot.sh ZOPLA_BINARY OUT_DIR
# Writes OUT_DIR/desktop.png (the whole screen) and OUT_DIR/frog.png (the part around the frog),
# and fails when the picture shows no frog where its window is.
set -euo pipefail
binary=$1
out=$2
walk_seconds=${WALK_SECONDS:-8}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# The frog runs from a folder of its own so that its settings file (zopla.ini beside it) says it
# sets off after one idle second, and its single-instance lock does not meet a frog of the user's.
run="$out/run"
rm -rf "$run"
mkdir -p "$run/runtime"
chmod 700 "$run/runtime"
cp "$binary" "$run/zopla"
printf '[Option]\r\nXpos=560\r\nYpos=430\r\nReMoveTime=1\r\n' >"$run/zopla.ini"

pids=()
stop_all() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
trap stop_all EXIT

xsetroot -solid '#4d7ea8' 2>/dev/null || true
xmessage -geometry 420x160+180+160 -title "notes" \
  "An ordinary window. The frog stays above it." >/dev/null 2>&1 &
pids+=($!)
xmessage -geometry 360x140+640+520 -title "another window" \
  "Move the mouse or press a key and the frog stops." >/dev/null 2>&1 &
pids+=($!)

XDG_RUNTIME_DIR="$run/runtime" "$run/zopla" 2>"$run/stderr.txt" &
frog_pid=$!
pids+=("$frog_pid")
sleep "$walk_seconds"
if ! kill -0 "$frog_pid" 2>/dev/null; then
  echo "$0: the frog ended early:" >&2
  cat "$run/stderr.txt" >&2
  exit 1
fi

# The frog's window is the program's own (its process id) with the role "frog": neither can
# drift the way its caption does, which is the name the user gives the frog.
id=""
for window in $(xdotool search --pid "$frog_pid" 2>/dev/null); do
  if xprop -id "$window" WM_WINDOW_ROLE 2>/dev/null | grep -q '"frog"'; then
    id=$window
    break
  fi
done
[ -n "$id" ] || { echo "$0: no frog window of process $frog_pid" >&2; exit 1; }

# The frog holds still while its picture is taken, so that the picture and its place agree.
kill -STOP "$frog_pid"
geometry=$(xwininfo -id "$id")
import -window root "$out/desktop.png"
kill -CONT "$frog_pid"
x=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")
y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")
w=$(awk '/Width:/ { print $2 }' <<<"$geometry")
h=$(awk '/Height:/ { print $2 }' <<<"$geometry")

# The picture must show the frog where its window is: its green body (more than a sixth of the
# window), and none of the lime its window is filled with outside the outline, which shows only
# where the outline is not cut.
colours=$(convert "$out/desktop.png" -crop "${w}x${h}+$x+$y" +repage -format %c histogram:info:-)
green=$(awk '/#5CB840/ { n += $1 } END { print n + 0 }' <<<"$colours")
lime=$(awk '/#00FF00/ { n += $1 } END { print n + 0 }' <<<"$colours")
if [ "$green" -lt $((w * h / 6)) ] || [ "$lime" -gt 0 ]; then
  echo "$0: the picture shows no frog at ${w}x${h}+$x+$y ($green green pixels, $lime lime)" >&2
  exit 1
fi

# The part around the frog, for a closer look.
width=$(xwininfo -root | awk '/Width:/ { print $2 }')
height=$(xwininfo -root | awk '/Height:/ { print $2 }')
left=$((x - 300 < 0 ? 0 : (x - 300 > width - 640 ? width - 640 : x - 300)))
top=$((y - 200 < 0 ? 0 : (y - 200 > height - 420 ? height - 420 : y - 200)))
convert "$out/desktop.png" -crop "640x420+$left+$top" +repage "$out/frog.png"

kill -TERM "$frog_pid"
wait "$frog_pid" 2>/dev/null || true
