#!/bin/bash
# The real program as a screen reader meets it: under Xvfb, with a private
# session bus and accessibility bus, in namespaces of its own
# (tests/support/private_display.sh). atspi_client.py reads the board and the
# status over the accessibility bus, plays a move against the computer by
# keyboard and checks what it was told. Needs root, Xvfb, dbus-run-session,
# at-spi2-core and python3-pyatspi; skipped with a message where any is missing.
set -u

PROGRAM=${1:?usage: atspi_test.sh path/to/corvidae}
CLIENT=$(dirname "$(realpath "$0")")/atspi_client.py
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is missing (bash scripts/setup.sh)"; exit 77; }
NEEDS="dbus-run-session /usr/libexec/at-spi-bus-launcher"
source "$(dirname "$0")/../support/private_display.sh"
[ -x "$PROGRAM" ] || { echo "FAIL: $PROGRAM is missing"; exit 1; }

export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$WORK/bin"
chmod 700 "$XDG_RUNTIME_DIR"
# A copy beside which no settings files lie: the player is called by the login name.
cp "$PROGRAM" "$WORK/bin/corvidae"
start_xvfb 800x600

# The session bus starts the accessibility bus on the first request for it.
dbus-run-session -- bash -c '
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LOGNAME=root "$1/bin/corvidae" >"$1/game.log" 2>&1 &
    game=$!
    timeout 120 /usr/bin/python3 "$0" corvidae
    status=$?
    kill -TERM $game
    wait $game
    exit $status' "$CLIENT" "$WORK" 2>"$WORK/bus.log"
status=$?
[ "$status" = 0 ] || { echo "--- program"; cat "$WORK/game.log"; echo "--- buses"; tail -n 20 "$WORK/bus.log"; }
exit $status
