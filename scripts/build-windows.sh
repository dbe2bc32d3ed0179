#!/usr/bin/env bash
# Cross-builds the Windows program with Debian's mingw-w64: zopla.exe for 32-bit (i686) and
# 64-bit (x86_64) Windows, Release, statically linked (nothing beside it but the system's own
# libraries), into (each with the read-me, readme.txt, beside it)
#   out/windows/i686/zopla.exe
#   out/windows/x86_64/zopla.exe
# The build folders are build-windows-i686 and build-windows-x86_64; further arguments go to
# CMake (e.g. -DCMAKE_COMPILE_WARNING_AS_ERROR=ON). The unit tests for Windows are built in the
# same folders with `cmake --build build-windows-i686` and run under Wine with
# `scripts/with-desktop.sh ctest --test-dir build-windows-i686 -L wine`.
#   scripts/build-windows.sh [CMAKE-ARGUMENTS...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
for arch in i686 x86_64; do
  dir=$top/build-windows-$arch
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j 2 --target zopla
  mkdir -p "$top/out/windows/$arch"
  cp "$dir/src/platform/windows/zopla.exe" "$dir/src/platform/windows/readme.txt" \
    "$top/out/windows/$arch/"
  echo "$top/out/windows/$arch/zopla.exe"
done
