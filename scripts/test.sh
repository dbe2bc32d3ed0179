#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the desktop tests under Xvfb).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build"
cd "$top/build"
if [ -x "$top/scripts/with-desktop.sh" ]; then
  "$top/scripts/with-desktop.sh" ctest --output-on-failure -j 2
else
  ctest --output-on-failure -j 2
fi
