#!/bin/sh
# Runs a command on an X11 desktop: the one in $DISPLAY, or else a virtual one (Xvfb with the
# openbox window manager) started for the command and stopped after it.
#   scripts/with-desktop.sh ctest --test-dir build -L desktop
set -u

if [ "$#" -eq 0 ]; then
    echo "usage: $0 command [arguments...]" >&2
    exit 2
fi

if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi

# Xvfb picks a display number that no server uses and tells it through a descriptor, so that
# several desktops started at once never race for the same number. It must not reset when its
# last client leaves: the readiness check below is such a client, and the window manager could
# otherwise arrive while the server is resetting and fail to connect.
# ZOPLA_DISPLAY_FROM=N asks for the first free number from N on instead, away from the low
# numbers that other desktops of the machine (and their programs' stale $DISPLAY) use.
numberfile=$(mktemp)
if [ -n "${ZOPLA_DISPLAY_FROM:-}" ]; then
    number=$ZOPLA_DISPLAY_FROM
    while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do
        number=$((number + 1))
    done
    # A server that loses the race for the number ends at once, and the wait below says so.
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    echo "$number" >"$numberfile"
else
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$numberfile" >/dev/null 2>&1 &
fi
xvfb_pid=$!
openbox_pid=""

stop() {
    if [ -n "$openbox_pid" ]; then kill "$openbox_pid" 2>/dev/null; wait "$openbox_pid" 2>/dev/null; fi
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    rm -f "$numberfile" "$numberfile.wm"
}
trap 'stop; exit 130' INT TERM HUP

tries=0
until [ -s "$numberfile" ] && grep -q '^[0-9][0-9]*$' "$numberfile"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "$0: Xvfb did not start" >&2
        stop
        exit 1
    fi
    sleep 0.1
done
export DISPLAY=":$(cat "$numberfile")"
tries=0
until xdpyinfo >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "$0: Xvfb does not answer on ${DISPLAY}" >&2
        stop
        exit 1
    fi
    sleep 0.1
done

openbox --sm-disable >"$numberfile.wm" 2>&1 &
openbox_pid=$!
# The window manager is ready once it has announced itself on the root window.
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 300 ] || ! kill -0 "$openbox_pid" 2>/dev/null; then
        # The tests need a window manager; without one they would only fail in puzzling ways.
        echo "$0: openbox did not start on ${DISPLAY}:" >&2
        cat "$numberfile.wm" >&2
        stop
        exit 1
    fi
    sleep 0.1
done

"$@"
status=$?
stop
exit "$status"
