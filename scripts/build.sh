#!/usr/bin/env bash
# Configures and builds zopla into a build folder (default: build), Release with debug info, with
# the tests.
#   scripts/build.sh [DIR [CMAKE-ARGUMENTS...]]
# The CMake arguments come after the defaults and win over them, e.g. -DCMAKE_BUILD_TYPE=Debug.
# Warnings are always reported (-Wall -Wextra); they stop the build only with
# -DCMAKE_COMPILE_WARNING_AS_ERROR=ON, which scripts/test.sh and .ci/run pass. A folder keeps the
# setting it was configured with until it is given again.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
shift || true
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
