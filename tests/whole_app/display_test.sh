#!/bin/bash
# The real program against displays that cannot be opened, and one that can.
# Runs in a network namespace of its own (loopback and a veth cable with
# both ends inside: nothing leaves it) and a private mount namespace with
# an empty /tmp (no X server but the test's own) and /dev/shm (the
# program's single-copy lock), all gone when the script ends.
#
# Shows: a dead display, no display at all and a platform that does not
# start each end the program at once with exit code 1 and one line on
# stderr, never with an abort; on a live X display the program opens its
# window and ends with 0 on a termination signal.
set -u

PROGRAM=${1:?usage: display_test.sh path/to/corvidae}
[ -x "$PROGRAM" ] || { echo "FAIL: $PROGRAM is missing"; exit 1; }
for tool in unshare findmnt Xvfb xwininfo ip; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (bash scripts/setup.sh)"; exit 77; }
done
if [ "$(findmnt -n -o SOURCE --mountpoint /tmp | tail -n 1)" != "kestrel-display-$$" ]; then
    [ "$(id -u)" = 0 ] || { echo "SKIP: private network and mount namespaces need root"; exit 77; }
    exec unshare --net --mount --propagation private bash -c '
        mount -t tmpfs -o mode=1777 "kestrel-display-$$" /tmp &&
        mount -t tmpfs -o mode=1777 "kestrel-display-$$" /dev/shm &&
        exec bash "$0" "$@"' "$0" "$@"
fi
[ -x "$PROGRAM" ] || { echo "FAIL: $PROGRAM lies in /tmp, which this test hides"; exit 1; }

FAILURES=0
fail() {
    echo "FAIL: $*"
    FAILURES=$((FAILURES + 1))
}
XVFB=
PROGRAM_PID=
cleanup() {
    [ -n "$PROGRAM_PID" ] && kill -9 "$PROGRAM_PID" 2>/dev/null
    [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT

ip link set lo up
ip link add lan0 type veth peer name lan1
ip addr add 10.79.0.1/24 broadcast + dev lan0
ip link set lan0 up
ip link set lan1 up

# expect_refusal NAME STDERR-TEXT VARIABLE=VALUE...: the program, in an
# environment of just these variables, ends with 1 and says why.
expect_refusal() {
    local name=$1 text=$2
    shift 2
    timeout 20 env -i PATH=/usr/bin:/bin HOME=/tmp "$@" "$PROGRAM" >/tmp/out 2>/tmp/err
    local status=$?
    [ "$status" = 1 ] || fail "$name: exit status $status, not 1"
    grep -qF -- "$text" /tmp/err || fail "$name: no '$text' on stderr: $(cat /tmp/err)"
    [ ! -s /tmp/out ] || fail "$name: wrote to stdout: $(cat /tmp/out)"
}

expect_refusal "dead display" 'corvidae: cannot open the display ":8"' DISPLAY=:8
expect_refusal "dead display, X chosen" 'cannot open the display ":8"' QT_QPA_PLATFORM=xcb DISPLAY=:8
expect_refusal "no display" 'corvidae: no graphical display' XDG_SESSION_TYPE=x11
expect_refusal "no Wayland compositor" 'corvidae: cannot open the display' WAYLAND_DISPLAY=wayland-0
expect_refusal "platform that does not start" 'the window system did not start' QT_QPA_PLATFORM=nonesuch

# A live display: the window opens (Qt's own options on the command line
# change nothing and are no reason to fail), and SIGTERM ends it with 0.
Xvfb :7 -nolisten tcp -screen 0 640x480x24 >/tmp/xvfb.log 2>&1 &
XVFB=$!
for _ in $(seq 100); do
    [ -S /tmp/.X11-unix/X7 ] && break
    sleep 0.05
done
env -i PATH=/usr/bin:/bin HOME=/tmp DISPLAY=:7 "$PROGRAM" -reverse -style windows >/tmp/live.log 2>&1 &
PROGRAM_PID=$!
opened=no
for _ in $(seq 200); do
    DISPLAY=:7 xwininfo -root -tree 2>/dev/null | grep -q '"ケストレルベイ"' && { opened=yes; break; }
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.05
done
[ "$opened" = yes ] || fail "no window on a live display: $(cat /tmp/live.log)"
kill -TERM "$PROGRAM_PID"
status=timeout
for _ in $(seq 200); do
    if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
        wait "$PROGRAM_PID"
        status=$?
        break
    fi
    sleep 0.05
done
PROGRAM_PID=
[ "$status" = 0 ] || fail "on a live display the program ended with $status: $(cat /tmp/live.log)"

[ "$FAILURES" = 0 ] || { echo "$FAILURES check(s) failed"; exit 1; }
echo "the program refused five starts without a usable display with exit code 1 and ran on a live one"
