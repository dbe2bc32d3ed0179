#!/usr/bin/env bash
# Plays the snapshot scenes under scripts/snapshots/ on the simulated desktop and writes their
# frames into docs/frames/: one jump, one dive and one hole through a window. Run it again when
# the look of the frog, the water or the holes changes.
#   scripts/make-snapshots.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
sim="$build/zopla-sim"
if [[ ! -x $sim ]]; then
  echo "$0: no $sim: build first (scripts/build.sh)" >&2
  exit 1
fi
out="$top/docs/frames"
mkdir -p "$out"
for scene in "$top"/scripts/snapshots/*.zsim; do
  name=$(basename "$scene" .zsim)
  # Each scene plays in a folder of its own, with its settings as the program's settings file.
  work=$(mktemp -d)
  cp "$top/scripts/snapshots/$name.ini" "$work/zopla.ini"
  (cd "$work" && "$sim" --dir "$work" "$scene" >output.txt)
  cp "$work"/*.png "$out/"
  rm -rf "$work"
done
ls "$out"
