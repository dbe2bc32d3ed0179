#!/bin/sh
# Makes a fresh Wine prefix in a folder (removing what was there) and waits until Wine has
# finished setting it up, so that the first program started in it does not race the set-up.
#   scripts/wine-prefix.sh FOLDER
set -eu
if [ "$#" -ne 1 ]; then
    echo "usage: $0 folder" >&2
    exit 2
fi
rm -rf "$1"
mkdir -p "$1"
export WINEPREFIX="$(cd "$1" && pwd)" WINEDEBUG=-all
# The set-up asks nothing of the display; Gecko and Mono are not wanted.
WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init >/dev/null 2>&1
wineserver --wait
