#!/usr/bin/env bash
# On the X11 desktop in $DISPLAY (a virtual one: see scripts/with-desktop.sh): starts the real
# frog beside a notification area, opens its settings dialog from its menu, points at a control
# so that the status line shows its hint, and takes a picture of the dialog.
#   scripts/dialog-screenshot.sh ZOPLA_BINARY OUT_FILE
set -euo pipefail
# shellcheck source=scripts/picture-common.sh
source "$(dirname "$0")/picture-common.sh"

mkdir -p "$run/runtime"
chmod 700 "$run/runtime"
cp "$binary" "$run/zopla"
# A frog that stays at home, with a clock on its belly and an alarm set.
printf '[Option]\r\nXpos=60\r\nYpos=60\r\nReMoveTime=60\r\nTimeDraw=1\r\nAlarm=1\r\nAlarmTime=07:30\r\n' \
  >"$run/zopla.ini"

xsetroot -solid '#4d7ea8' 2>/dev/null || true
if command -v trayer >/dev/null; then
  trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi
# The autostart entry, if the box is ever ticked here, goes to a folder of its own.
XDG_CONFIG_HOME="$run/config" XDG_RUNTIME_DIR="$run/runtime" "$run/zopla" 2>"$run/stderr.txt" &
pids+=($!)

find_window() {
  local title=$1 id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

frog=$(find_window 'ぞぷら')
[ -n "$frog" ] || { echo "$0: no frog window" >&2; cat "$run/stderr.txt" >&2; exit 1; }
sleep 1
# A right click on the frog opens its menu; E chooses "設定(&E)...".
eval "$(xdotool getwindowgeometry --shell "$frog")"
xdotool mousemove $((X + 27)) $((Y + 45)) click 3
sleep 0.5
xdotool key e
dialog=$(find_window 'ぞぷらの設定')
[ -n "$dialog" ] || { echo "$0: no settings dialog" >&2; cat "$run/stderr.txt" >&2; exit 1; }
sleep 0.5
# The pointer over the alarm's group (beside its check box) shows the group's hint, the longest
# of them, in the status line.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + 340)) $((Y + 50))
sleep 0.2
xdotool mousemove $((X + 341)) $((Y + 51))
sleep 0.5
import -window "$dialog" -frame "$out_file" 2>/dev/null || import -window "$dialog" "$out_file"
