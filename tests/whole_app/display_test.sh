#!/bin/bash
# The real program against displays it cannot open, and a live one, in
# namespaces of its own (tests/support/private_display.sh).
#
# Shows: each start without a usable display ends at once with exit code 1
# and one line on stderr, never an abort; on a live X display the window
# opens despite Qt options on the command line, and SIGTERM ends it with 0.
set -u

PROGRAM=${1:?usage: display_test.sh path/to/corvidae}
source "$(dirname "$0")/../support/private_display.sh"
[ -x "$PROGRAM" ] || { echo "FAIL: $PROGRAM is missing"; exit 1; }

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

start_xvfb 640x480
env -i PATH=/usr/bin:/bin HOME="$WORK" DISPLAY="$DISPLAY" "$PROGRAM" -reverse -style windows >"$WORK/live.log" 2>&1 &
LIVE=$!
window_open() { xwininfo -root -tree 2>/dev/null | grep -q '"ケストレルベイ"'; }
wait_until window_open || fail "no window on a live display: $(cat "$WORK/live.log")"
kill -TERM "$LIVE"
wait_until eval '! kill -0 $LIVE 2>/dev/null' || fail "SIGTERM did not end the program"
wait "$LIVE"
status=$?
[ "$status" = 0 ] || fail "on a live display the program ended with $status: $(cat "$WORK/live.log")"

[ "$FAILURES" = 0 ] || { echo "$FAILURES check(s) failed"; exit 1; }
echo "five starts without a usable display ended with exit code 1; the program ran on a live one"
