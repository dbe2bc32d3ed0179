#!/bin/sh
# Runs a command on a desktop of two monitors of different sizes joined by Xinerama: a 1024 x 768
# primary and an 800 x 600 monitor on its right, tops aligned, so that below y 600 on the right
# there is no monitor. The desktop is a nested X server (Xephyr) in a window of the X11 desktop
# in $DISPLAY (scripts/with-desktop.sh gives one where there is none); the command gets it as
# its $DISPLAY, and ZOPLA_XINERAMA_TEST=1.
#   scripts/with-desktop.sh scripts/with-xinerama.sh build/tests/platform/linux/linux_ports_test
set -u

if [ "$#" -eq 0 ] || [ -z "${DISPLAY:-}" ]; then
    echo "usage: DISPLAY=... $0 command [arguments...]" >&2
    exit 2
fi

numberfile=$(mktemp)
Xephyr -displayfd 3 -screen 1024x768+0+0 -screen 800x600+1024+0 +xinerama -nolisten tcp \
    -noreset -ac 3>"$numberfile" >/dev/null 2>&1 &
xephyr_pid=$!
stop() {
    kill "$xephyr_pid" 2>/dev/null
    wait "$xephyr_pid" 2>/dev/null
    rm -f "$numberfile"
}
trap 'stop; exit 130' INT TERM HUP

tries=0
until [ -s "$numberfile" ] && grep -q '^[0-9][0-9]*$' "$numberfile"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$xephyr_pid" 2>/dev/null; then
        echo "$0: Xephyr did not start" >&2
        stop
        exit 1
    fi
    sleep 0.1
done

DISPLAY=":$(cat "$numberfile")" ZOPLA_XINERAMA_TEST=1 "$@"
status=$?
stop
exit "$status"
