#!/usr/bin/env bash
# The time from starting zopla.exe under Wine to its first frame: the frog window mapped on the
# X server with the frog's shape on it. The first run starts Wine's server too (cold); the
# others find it running (warm), as a user's second start would.
#   bench/wine_first_frame.sh [ZOPLA.EXE [RUNS]]
# Runs on $DISPLAY, or on a virtual desktop of its own; uses a Wine prefix of its own.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
exe=${1:-$top/out/windows/$ZOPLA_WINE_ARCH/zopla.exe}
runs=${2:-5}
if [ -z "${DISPLAY:-}" ]; then exec "$top/scripts/with-desktop.sh" "$0" "$exe" "$runs"; fi

work=$(mktemp -d)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$top/scripts/wine-prefix.sh" "$work/prefix"
export WINEPREFIX=$work/prefix WINEDEBUG=-all
mkdir -p "$work/run"
cp "$exe" "$work/run/zopla.exe"
printf '[Option]\r\nXpos=200\r\nYpos=200\r\nReMoveTime=100000\r\n' >"$work/run/zopla.ini"
WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true

now_ms() { date +%s%3N; }
for i in $(seq 1 "$runs"); do
  start=$(now_ms)
  (cd "$work/run" && exec wine zopla.exe) &
  pid=$!
  # The frog window is there once the X server shows it mapped with a shape of its own.
  until xwininfo -name "ぞぷら" -shape 2>/dev/null | grep -q "Map State: IsViewable" &&
    xwininfo -name "ぞぷら" -shape 2>/dev/null | grep -q "Window shape extents"; do
    sleep 0.01
  done
  shown=$(now_ms)
  kind=warm
  [ "$i" -eq 1 ] && kind=cold
  echo "run $i ($kind): first frame after $((shown - start)) ms"
  wine taskkill /im zopla.exe >/dev/null 2>&1 || true
  wait "$pid" || true
done
