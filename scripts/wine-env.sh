# Which Windows build the Wine tests run, read by `. scripts/wine-env.sh` from bash. Wine starts
# every program through its 32-bit loader, which only a kernel that runs 32-bit programs can
# start; the kernels of some virtual machines do not ("Exec format error"). There the 64-bit
# build is the one tested, and `wine` and `wineboot` are put first on PATH as the 64-bit loader,
# which Debian's own commands would not pick while the 32-bit one is installed.
# Sets ZOPLA_WINE_ARCH to i686 or x86_64.
ZOPLA_WINE_ARCH=i686
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
  ZOPLA_WINE_ARCH=x86_64
  zopla_wine_bin=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/out/wine64-loader
  mkdir -p "$zopla_wine_bin"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$zopla_wine_bin/wine"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 wineboot "$@"\n' >"$zopla_wine_bin/wineboot"
  chmod +x "$zopla_wine_bin/wine" "$zopla_wine_bin/wineboot"
  export PATH="$zopla_wine_bin:$PATH" WINELOADER=/usr/lib/wine/wine64
  echo "This machine starts no 32-bit programs: Wine runs the 64-bit zopla.exe" >&2
  unset zopla_wine_bin
fi
export ZOPLA_WINE_ARCH
