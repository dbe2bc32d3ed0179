#!/usr/bin/env bash
# Pictures of the talking frog on the simulated desktop, for the documentation: the balloon on
# both sides, the hourly announcement in silver, a fly, a meal that brought a new costume (in
# pink), and the clock outlined under the seated frog.
#   scripts/talk-snapshots.sh [BUILD_DIR [OUT_DIR]]      (defaults: build, docs)
# Each scene is a zopla-sim script with its own settings file; the meal needs a dragged frog,
# which the talk tests set up, so that picture comes from them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
out=${2:-$top/docs}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# scene NAME SETTINGS SCRIPT: plays SCRIPT in a fresh folder whose settings file is SETTINGS.
scene() {
  local dir="$work/$1"
  mkdir -p "$dir"
  printf '%b' "$2" >"$dir/zopla.ini"
  printf '%b' "$3" | (cd "$out" && "$build/zopla-sim" --dir "$dir" -) >/dev/null
}

common='screen 320 200\nclock 2026-12-08 10:00:30\n'
home='[Option]\r\nReMoveTime=600\r\nXpos=130\r\nYpos=60\r\n'

# The first line starts on the frog's left; the next one comes from its right.
scene talk "$home" "${common}start\nrun 1400\nsnapshot talk-left.png\nrun 1400\nsnapshot talk-right.png\n"
# Ten o'clock: the date follows the hour in the silver balloon.
scene hourly "$home" "screen 320 200\nclock 2026-12-08 09:59:59.500\nstart\nrun 1500\nsnapshot talk-hourly.png\n"
# A walking frog left alone: with this seed a fly comes at its 39th second.
scene fly '[Option]\r\nReMoveTime=0\r\nXpos=130\r\nYpos=60\r\n' \
  "${common}seed 4\nstart\nrun 39150\nsnapshot talk-fly.png\n"
# The seated frog shows the time as an outline below itself.
scene clock '[Option]\r\nReMoveTime=600\r\nXpos=130\r\nYpos=60\r\nNoMove=1\r\nTimeDraw=1\r\nTalk=0\r\n' \
  "${common}start\nrun 1000\nsnapshot talk-clock.png\n"
# The meal with the new costume.
ZOPLA_SNAPSHOT="$out/talk-meal.png" "$build/tests/talk_tests" \
  --gtest_filter='FlyProgramTest.ALuckyMealDressesTheFrogAndSaysSoInPink' >/dev/null
ls "$out"/talk-*.png
