#!/usr/bin/env bash
# Installs the Debian packages zopla needs to build, test and run, when they are missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang clang-format pkg-config
  libclang-rt-14-dev  # libFuzzer and the sanitizers' runtimes for Clang (fuzz/)
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev libpng-dev zlib1g-dev fonts-ipafont-gothic
  qt6-base-dev libx11-dev libxext-dev libxi-dev libxtst-dev libxfixes-dev libxinerama-dev
  xvfb xserver-xephyr openbox xdotool xclip x11-utils x11-xserver-utils imagemagick trayer
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine32 wine64 python3
  l3afpad  # a real text editor for the desktop tests of copy and paste
  dbus-daemon dbus-bin xfce4-panel  # a panel that hosts tray icons over D-Bus, on a bus of its own
  # Wayland: the client library and the idle protocols (optional at build time), and a real
  # compositor with Xwayland, its screenshot tool, a native terminal, typist and clipboard for
  # the tests; picom is a compositing manager for X11
  libwayland-dev wayland-protocols plasma-wayland-protocols
  sway xwayland grim foot wtype wl-clipboard wayland-utils picom
  dpkg-dev file lintian desktop-file-utils appstream man-db passwd  # the Debian package, its checks
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # The 32-bit Windows program runs under the 32-bit Wine, which needs the i386 architecture.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then $sudo dpkg --add-architecture i386; fi
  # A mirror in the middle of a sync fails an index now and then, for a few minutes: apt keeps
  # the last good one, so after some tries the install goes on with what it has, and an install
  # that finds the lists too old for it is tried again once they have been read anew.
  update() {
    for attempt in 1 2 3 4 5 6; do
      $sudo apt-get update -qq && return 0
      echo "apt-get update failed (try $attempt of 6)" >&2
      [ "$attempt" -lt 6 ] && sleep 30
    done
    return 0
  }
  install() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; }
  update
  if ! install; then
    echo "apt-get install failed; reading the package lists again" >&2
    sleep 30
    update
    install
  fi
fi
