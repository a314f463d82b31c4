#!/bin/bash
# The real program against displays it cannot open, and a live one. Runs in
# a network namespace of its own (loopback and a veth cable with both ends
# inside) and a private mount namespace with an empty /tmp (no X server but
# the test's own) and /dev/shm (the single-copy lock); all go with the script.
#
# Shows: each start without a usable display ends at once with exit code 1
# and one line on stderr, never an abort; on a live X display the window
# opens despite Qt options on the command line, and SIGTERM ends it with 0.
set -u

PROGRAM=${1:?usage: display_test.sh path/to/corvidae}
for tool in unshare findmnt Xvfb xwininfo ip; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (bash scripts/setup.sh)"; exit 77; }
done
if [ "$(findmnt -n -o SOURCE --mountpoint /tmp | tail -n 1)" != "kestrel-display-$$" ]; then
    [ "$(id -u)" = 0 ] || { echo "SKIP: private network and mount namespaces need root"; exit 77; }
    exec unshare --net --mount --propagation private bash -c '
        mount -t tmpfs -o mode=1777 "kestrel-display-$$" /tmp &&
        mount -t tmpfs -o mode=1777 "kestrel-display-$$" /dev/shm && exec bash "$0" "$@"' "$0" "$@"
fi
[ -x "$PROGRAM" ] || { echo "FAIL: $PROGRAM is missing (or lies in /tmp, which this test hides)"; exit 1; }
FAILURES=0
fail() {
    echo "FAIL: $*"
    FAILURES=$((FAILURES + 1))
}
trap 'kill -9 $(jobs -p) 2>/dev/null' EXIT
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
    timeout 20 env -i PATH=/usr/bin:/bin HOME=/tmp "$@" "$PROGRAM" >/tmp/out 2>&1
    local status=$?
    [ "$status" = 1 ] || fail "$name: exit status $status, not 1"
    grep -qF -- "$text" /tmp/out || fail "$name: no '$text' in: $(cat /tmp/out)"
}
expect_refusal "dead display" 'corvidae: cannot open the display ":8"' DISPLAY=:8
expect_refusal "dead display, X chosen" 'cannot open the display ":8"' QT_QPA_PLATFORM=xcb DISPLAY=:8
expect_refusal "no display" 'corvidae: no graphical display' XDG_SESSION_TYPE=x11
expect_refusal "no Wayland compositor" 'corvidae: cannot open the display' WAYLAND_DISPLAY=wayland-0
expect_refusal "platform that does not start" 'the window system did not start' QT_QPA_PLATFORM=nonesuch

Xvfb :7 -nolisten tcp -screen 0 640x480x24 >/tmp/xvfb.log 2>&1 &
x_ready() { DISPLAY=:7 xwininfo -root >/dev/null 2>&1; }
wait_until x_ready || fail "Xvfb did not start: $(cat /tmp/xvfb.log)"
env -i PATH=/usr/bin:/bin HOME=/tmp DISPLAY=:7 "$PROGRAM" -reverse -style windows >/tmp/live.log 2>&1 &
LIVE=$!
window_open() { DISPLAY=:7 xwininfo -root -tree 2>/dev/null | grep -q '"ケストレルベイ"'; }
wait_until window_open || fail "no window on a live display: $(cat /tmp/live.log)"
kill -TERM "$LIVE"
wait_until eval '! kill -0 $LIVE 2>/dev/null' || fail "SIGTERM did not end the program"
wait "$LIVE"
status=$?
[ "$status" = 0 ] || fail "on a live display the program ended with $status: $(cat /tmp/live.log)"

[ "$FAILURES" = 0 ] || { echo "$FAILURES check(s) failed"; exit 1; }
echo "five starts without a usable display ended with exit code 1; the program ran on a live one"
