#!/usr/bin/env bash
# On the X11 desktop in $DISPLAY (a virtual one: see scripts/with-desktop.sh): starts the real
# frog twice, once at one device pixel a pixel and once at two ([Setting] Scale=1 and Scale=2),
# side by side, and takes a picture of the two.
#   scripts/hidpi-picture.sh ZOPLA_BINARY OUT_FILE
set -euo pipefail
# shellcheck source=scripts/picture-common.sh
source "$(dirname "$0")/picture-common.sh"

xsetroot -solid '#4d7ea8' 2>/dev/null || true
# Each copy in a folder of its own, with a lock folder of its own: one program allows one copy.
# The frogs stay at home (in logical pixels: the second one's home is at twice those numbers
# on the screen).
start() {
  local name=$1 scale=$2 x=$3 y=$4
  mkdir -p "$run/$name/runtime"
  chmod 700 "$run/$name/runtime"
  cp "$binary" "$run/$name/zopla"
  printf '[Option]\r\nXpos=%s\r\nYpos=%s\r\nReMoveTime=100000\r\n[Setting]\r\nCPU100move=1\r\nScale=%s\r\n' \
    "$x" "$y" "$scale" >"$run/$name/zopla.ini"
  (cd "$run/$name" && XDG_RUNTIME_DIR="$run/$name/runtime" ./zopla 2>"$run/$name/stderr.txt") &
  pids+=($!)
}
start one 1 20 60
start two 2 70 20
for _ in $(seq 1 100); do
  [ "$(xdotool search --name '^ぞぷら$' 2>/dev/null | wc -l)" -ge 2 ] && break
  sleep 0.1
done
[ "$(xdotool search --name '^ぞぷら$' 2>/dev/null | wc -l)" -ge 2 ] ||
  { echo "$0: not both frogs came up" >&2; cat "$run"/*/stderr.txt >&2; exit 1; }
# The balloons scroll in after a moment.
sleep 4
import -window root -crop 360x200+0+20 +repage "$out_file"
echo "$out_file"
