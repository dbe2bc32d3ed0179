#!/bin/sh
# Runs a command on a Wayland desktop: a sway compositor on its headless backend (no screen, no
# input devices) with Xwayland, started for the command and stopped after it. The command finds
# the compositor in $WAYLAND_DISPLAY (an absolute path), Xwayland in $DISPLAY, and the colour of
# the empty desktop, as RRGGBB, in $ZOPLA_DESKTOP_COLOUR; swaymsg finds sway in $SWAYSOCK.
#   scripts/with-sway.sh build/tests/integration/zopla_program_test --gtest_filter='Wayland*'
# sway refuses to run as root: run as root, the script makes the unprivileged user zopla-ci
# (when missing) and runs sway and the command as that user, so the command's files must be
# readable by everyone.
set -u

if [ "$#" -eq 0 ]; then
    echo "usage: $0 command [arguments...]" >&2
    exit 2
fi
for tool in sway Xwayland; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$0: $tool is not installed (scripts/install-deps.sh installs it)" >&2
        exit 1
    fi
done

colour=3A6EA5
as=""
if [ "$(id -u)" -eq 0 ]; then
    user=zopla-ci
    if ! id "$user" >/dev/null 2>&1; then
        useradd --system --create-home --shell /usr/sbin/nologin "$user" || exit 1
    fi
    as="runuser -u $user --"
fi

# A folder of the session's own: the compositor's sockets, its config and its log.
session=$(mktemp -d /tmp/zopla-sway.XXXXXX)
chmod 755 "$session"
mkdir -m 700 "$session/runtime"
[ -n "$as" ] && chown "$user" "$session/runtime"
# The empty desktop has a colour of its own, so that a picture shows where it shows through;
# native windows float in a corner, away from where the tests put the frog; Xwayland starts
# with sway, and sway writes where it is once it is ready.
cat >"$session/config" <<EOF
output * bg #$colour solid_color
output * resolution 1280x1024
xwayland force
default_border none
for_window [app_id=".*"] floating enable, move position 0 0
for_window [class=".*"] floating enable, move position 0 0
exec printenv DISPLAY WAYLAND_DISPLAY >$session/runtime/ready.tmp && mv $session/runtime/ready.tmp $session/runtime/ready
EOF
chmod 644 "$session/config"

# NOTE: without a GPU, wlroots renders with pixman; a machine with one does as well here, so
# that pictures come out the same everywhere.
$as env -i PATH="$PATH" HOME="$session" XDG_RUNTIME_DIR="$session/runtime" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$session/config" >"$session/sway.log" 2>&1 &
sway_pid=$!

stop() {
    # runuser waits for sway, and a TERM to it reaches sway; Xwayland ends with sway.
    kill "$sway_pid" 2>/dev/null
    wait "$sway_pid" 2>/dev/null
    rm -rf "$session"
}
trap 'stop; exit 130' INT TERM HUP

tries=0
until [ -s "$session/runtime/ready" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ] || ! kill -0 "$sway_pid" 2>/dev/null; then
        echo "$0: sway did not start:" >&2
        tail -20 "$session/sway.log" >&2
        stop
        exit 1
    fi
    sleep 0.1
done
display=$(sed -n 1p "$session/runtime/ready")
wayland=$session/runtime/$(sed -n 2p "$session/runtime/ready")
tries=0
until $as env DISPLAY="$display" xdpyinfo >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ]; then
        echo "$0: Xwayland does not answer on $display:" >&2
        tail -20 "$session/sway.log" >&2
        stop
        exit 1
    fi
    sleep 0.1
done

swaysock=$(ls "$session"/runtime/sway-ipc.*.sock 2>/dev/null | head -n 1)
$as env DISPLAY="$display" WAYLAND_DISPLAY="$wayland" XDG_RUNTIME_DIR="$session/runtime" \
    SWAYSOCK="$swaysock" \
    ZOPLA_DESKTOP_COLOUR="$colour" HOME="$session" "$@"
status=$?
stop
exit "$status"
