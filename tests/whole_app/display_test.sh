#!/bin/bash
# The real program against displays it cannot open, and a live one. Runs in
# a network namespace of its own (loopback and a veth cable with both ends
# inside) and a private mount namespace with an empty /tmp/.X11-unix (no X
# server but the test's own) and /dev/shm (the single-copy lock); all go with
# the script. Only the X sockets' folder is hidden, so the checkout and the
# build may lie anywhere, /tmp included.
#
# Shows: each start without a usable display ends at once with exit code 1
# and one line on stderr, never an abort; on a live X display the window
# opens despite Qt options on the command line, and SIGTERM ends it with 0.
set -u

PROGRAM=${1:?usage: display_test.sh path/to/corvidae}
for tool in unshare findmnt Xvfb xwininfo ip; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (bash scripts/setup.sh)"; exit 77; }
done
if [ "$(findmnt -n -o SOURCE --mountpoint /dev/shm | tail -n 1)" != "kestrel-display-$$" ]; then
    [ "$(id -u)" = 0 ] || { echo "SKIP: private network and mount namespaces need root"; exit 77; }
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
    exec unshare --net --mount --propagation private bash -c '
        mount -t tmpfs -o mode=1777 "kestrel-display-$$" /tmp/.X11-unix &&
        mount -t tmpfs -o mode=1777 "kestrel-display-$$" /dev/shm && exec bash "$0" "$@"' "$0" "$@"
fi
[ -x "$PROGRAM" ] || { echo "FAIL: $PROGRAM is missing"; exit 1; }
WORK=$(mktemp -d)
FAILURES=0
fail() {
    echo "FAIL: $*"
    FAILURES=$((FAILURES + 1))
}
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$WORK"' EXIT
# Up to 30 s for a command to succeed (a loaded machine starts Xvfb and Qt slowly).
wait_until() {
    for _ in $(seq 600); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

ip link set lo up
ip link add lan0 type veth peer name lan1
ip addr add 10.79.0.1/24 broadcast + dev lan0
ip link set lan0 up
ip link set lan1 up

# expect_refusal NAME STDERR-TEXT VARIABLE=VALUE...: in an environment of
# just these variables the program ends with 1 and says why.
expect_refusal() {
    local name=$1 text=$2
    shift 2
    timeout 20 env -i PATH=/usr/bin:/bin HOME="$WORK" "$@" "$PROGRAM" >"$WORK/out" 2>&1
    local status=$?
    [ "$status" = 1 ] || fail "$name: exit status $status, not 1"
    grep -qF -- "$text" "$WORK/out" || fail "$name: no '$text' in: $(cat "$WORK/out")"
}
expect_refusal "dead display" 'corvidae: cannot open the display ":8"' DISPLAY=:8
expect_refusal "dead display, X chosen" 'cannot open the display ":8"' QT_QPA_PLATFORM=xcb DISPLAY=:8
expect_refusal "no display" 'corvidae: no graphical display' XDG_SESSION_TYPE=x11
expect_refusal "no Wayland compositor" 'corvidae: cannot open the display' WAYLAND_DISPLAY=wayland-0
expect_refusal "platform that does not start" 'the window system did not start' QT_QPA_PLATFORM=nonesuch

# A free display number: the lock files in /tmp are shared with the machine.
Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
x_number() { [ -s "$WORK/display" ]; }
wait_until x_number || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
LIVE_DISPLAY=:$(head -n 1 "$WORK/display")
x_ready() { DISPLAY=$LIVE_DISPLAY xwininfo -root >/dev/null 2>&1; }
wait_until x_ready || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
env -i PATH=/usr/bin:/bin HOME="$WORK" DISPLAY="$LIVE_DISPLAY" "$PROGRAM" -reverse -style windows >"$WORK/live.log" 2>&1 &
LIVE=$!
window_open() { DISPLAY=$LIVE_DISPLAY xwininfo -root -tree 2>/dev/null | grep -q '"ケストレルベイ"'; }
wait_until window_open || fail "no window on a live display: $(cat "$WORK/live.log")"
kill -TERM "$LIVE"
wait_until eval '! kill -0 $LIVE 2>/dev/null' || fail "SIGTERM did not end the program"
wait "$LIVE"
status=$?
[ "$status" = 0 ] || fail "on a live display the program ended with $status: $(cat "$WORK/live.log")"

[ "$FAILURES" = 0 ] || { echo "$FAILURES check(s) failed"; exit 1; }
echo "five starts without a usable display ended with exit code 1; the program ran on a live one"
