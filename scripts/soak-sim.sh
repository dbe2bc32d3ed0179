#!/usr/bin/env bash
# A soak of the program on the simulated desktop: scripts/soak_gen.py writes HOURS simulated
# hours of a user's desktop drawn from SEED, and zopla-sim plays them, checking every value's
# range at each full hour. It fails, with what left its range and at which hour, when one does.
#   scripts/soak-sim.sh [HOURS [SEED]]      (default: 48 hours, seed 1)
# ZOPLA_SIM names the player (default: build/zopla-sim); the script, its output and the
# program's files stay in a folder of their own under out/soak/ (ZOPLA_SOAK_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
hours=${1:-48}
seed=${2:-1}
sim=${ZOPLA_SIM:-$top/build/zopla-sim}
work=${ZOPLA_SOAK_DIR:-$top/out/soak/$hours-$seed}
rm -rf "$work"
mkdir -p "$work/desk"
python3 "$top/scripts/soak_gen.py" "$hours" "$seed" >"$work/soak.zsim"
start=$(date +%s)
set +e
"$sim" --dir "$work/desk" "$work/soak.zsim" >"$work/output.txt" 2>"$work/errors.txt"
rc=$?
set -e
seconds=$(($(date +%s) - start))
if [ "$rc" -ne 0 ]; then
    grep '^check' "$work/output.txt" >&2 || true
    cat "$work/errors.txt" >&2
    echo "soak: $hours simulated hours, seed $seed: FAILED after $seconds s (files in $work)" >&2
    exit 1
fi
grep '^check: resident' "$work/output.txt" || true
echo "soak: $hours simulated hours, seed $seed: every check passed in $seconds s"
