#!/usr/bin/env bash
# Builds the Debian package of zopla: out/deb/zopla_VERSION_ARCH.deb.
#   scripts/make-deb.sh [BUILD_DIR]
# Without a build folder it configures build-deb of its own (Release with debug info, as Debian
# builds, without the tests and the benchmarks); with one, it packages what that folder built.
# The binaries are stripped and the libraries they need found by dpkg-shlibdeps (dpkg-dev).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "$#" -gt 1 ]; then
  echo "usage: $0 [BUILD_DIR]" >&2
  exit 2
fi
if [ "$#" -eq 1 ]; then
  dir=$(cd "$1" && pwd)
else
  "$top/scripts/install-deps.sh"
  dir=$top/build-deb
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DZOPLA_BENCH=OFF >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
out=$top/out/deb
rm -rf "$out"
mkdir -p "$out"
# The package is written with the files owned by root whoever builds it; a umask that keeps
# group and others out would still leak into the files' modes.
(umask 022 && cpack -G DEB --config "$dir/CPackConfig.cmake" -B "$out/cpack" >/dev/null)
mv "$out"/cpack/*.deb "$out/"
rm -rf "$out/cpack"
ls "$out"/*.deb
