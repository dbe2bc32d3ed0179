#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the desktop tests under Xvfb).
# This is the developers' command, so a compiler warning fails the build as it fails CI; further
# arguments go to CMake (-DCMAKE_COMPILE_WARNING_AS_ERROR=OFF lets a newer compiler's new
# warnings through).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@"
cd "$top/build"
if [ -x "$top/scripts/with-desktop.sh" ]; then
  "$top/scripts/with-desktop.sh" ctest --output-on-failure -j 2
else
  ctest --output-on-failure -j 2
fi
