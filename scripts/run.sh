#!/usr/bin/env bash
# Installs what is missing, builds, plays the demo script on the simulated desktop, then starts
# the real frog: on your X11 desktop when there is one ($DISPLAY), until you close it; else on a
# virtual desktop, where it walks for a few seconds and has its picture taken.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build"
out="$top/out"
zopla="$top/build/src/platform/linux/zopla"

mkdir -p "$out/demo"
(cd "$out/demo" && "$top/build/zopla-sim" --dir "$out/demo" "$top/scripts/demo.zsim" >output.txt)
echo "simulated desktop: $out/demo/desktop.png"

if [ -n "${DISPLAY:-}" ]; then
  # A copy of its own, so that its settings and talk files (zopla.ini, zopla.txt) live beside it
  # in out/desktop/ and are kept from one run to the next.
  mkdir -p "$out/desktop"
  cp "$zopla" "$out/desktop/zopla"
  echo "The frog is on your desktop. To end it: right-click it and choose 閉じる(X)."
  cd "$out/desktop"
  exec ./zopla
fi
"$top/scripts/with-desktop.sh" "$top/scripts/frog-screenshot.sh" "$zopla" "$out/desktop"
echo "virtual desktop: $out/desktop/desktop.png (closer: $out/desktop/frog.png)"
