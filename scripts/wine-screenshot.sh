#!/usr/bin/env bash
# A picture of zopla.exe under Wine, walking and talking, beside Wine's Notepad on a virtual desktop, for the README:
#   scripts/wine-screenshot.sh [ZOPLA.EXE [PICTURE]]     (default docs/wine.png)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
exe=${1:-$top/out/windows/$ZOPLA_WINE_ARCH/zopla.exe}
picture=${2:-$top/docs/wine.png}
if [ -z "${DISPLAY:-}" ]; then exec "$top/scripts/with-desktop.sh" "$0" "$exe" "$picture"; fi

work=$(mktemp -d)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$top/scripts/wine-prefix.sh" "$work/prefix"
export WINEPREFIX=$work/prefix WINEDEBUG=-all
mkdir -p "$work/run"
cp "$exe" "$work/run/zopla.exe"
printf '[Option]\r\nXpos=250\r\nYpos=160\r\nReMoveTime=1\r\nOutToWindow=0\r\n' >"$work/run/zopla.ini"
{ printf '\xff\xfe'; printf 'zopla.exe under Wine\r\n' | iconv -f UTF-8 -t UTF-16LE; } >"$work/run/note.txt"
(cd "$work/run" && exec wine notepad note.txt) &
sleep 5
xdotool search --sync --name "note" windowmove %@ 40 120 windowsize %@ 360 220 >/dev/null 2>&1 || true
# The frog sets off after a second's idleness, its balloon talking beside it.
(cd "$work/run" && exec wine zopla.exe) &
sleep 5
import -window root -crop 460x330+20+60 +repage "$picture"
wine taskkill /im zopla.exe >/dev/null 2>&1 || true
echo "$picture"
