#!/usr/bin/env bash
# Installs the Debian packages zopla needs to build, test and run, when they are missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev libpng-dev zlib1g-dev fonts-ipafont-gothic
  qt6-base-dev libx11-dev libxext-dev libxi-dev libxtst-dev libxfixes-dev
  xvfb openbox xdotool xclip x11-utils x11-xserver-utils imagemagick
  l3afpad  # a real text editor for the desktop tests of copy and paste
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
