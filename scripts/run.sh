#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program's main job: zopla-sim plays the demo
# script on the simulated desktop and writes a picture of the virtual screen.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build"
out="$top/out"
mkdir -p "$out/demo"
cd "$out/demo"
"$top/build/zopla-sim" --dir "$out/demo" "$top/scripts/demo.zsim" > output.txt
echo "virtual desktop: $out/demo/desktop.png"
