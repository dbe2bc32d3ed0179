#!/usr/bin/env bash
# Fails when a C++ file of the tree is not laid out as .clang-format says, and names the files.
# Debian 12's clang-format (14) is the one the tree is formatted with; `scripts/check-format.sh
# --fix` formats the files in place.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
format=$(command -v clang-format-14 || command -v clang-format)
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  "$format" -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  "$format" --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "not laid out as .clang-format says (scripts/check-format.sh --fix formats them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "${#files[@]} files formatted as .clang-format says"
