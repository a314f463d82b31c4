#!/bin/bash
# The real program as a screen reader meets it: under Xvfb, with a private
# session bus and accessibility bus, in a network namespace of its own (the
# program announces itself at start; nothing leaves the namespace) and a
# private mount namespace (its own X sockets' folder and /dev/shm, gone with
# the script).
# atspi_client.py reads the board and the status over the accessibility bus,
# plays a move against the computer by keyboard and checks what it was told.
# Needs root, Xvfb, dbus-run-session, at-spi2-core and python3-pyatspi;
# skipped with a message where any is missing.
set -u

PROGRAM=${1:?usage: atspi_test.sh path/to/corvidae}
CLIENT=$(dirname "$(realpath "$0")")/atspi_client.py
for tool in unshare findmnt Xvfb xwininfo ip dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (bash scripts/setup.sh)"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is missing (bash scripts/setup.sh)"; exit 77; }
if [ "$(findmnt -n -o SOURCE --mountpoint /dev/shm | tail -n 1)" != "kestrel-atspi-$$" ]; then
    [ "$(id -u)" = 0 ] || { echo "SKIP: private network and mount namespaces need root"; exit 77; }
    # Only the X sockets' folder is hidden: the checkout and build may lie in /tmp.
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
    exec unshare --net --mount --propagation private bash -c '
        mount -t tmpfs -o mode=1777 "kestrel-atspi-$$" /tmp/.X11-unix &&
        mount -t tmpfs -o mode=1777 "kestrel-atspi-$$" /dev/shm && exec bash "$0" "$@"' "$0" "$@"
fi
[ -x "$PROGRAM" ] || { echo "FAIL: $PROGRAM is missing"; exit 1; }
WORK=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$WORK"' EXIT

ip link set lo up
ip link add lan0 type veth peer name lan1
ip addr add 10.82.0.1/24 broadcast + dev lan0
ip link set lan0 up
ip link set lan1 up

export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$WORK/bin"
chmod 700 "$XDG_RUNTIME_DIR"
# A copy beside which no settings files lie: the player is called by the login name.
cp "$PROGRAM" "$WORK/bin/corvidae"

# A free display number: the lock files in /tmp are shared with the machine.
Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
for _ in $(seq 600); do
    [ -s "$WORK/display" ] && DISPLAY=:$(head -n 1 "$WORK/display") xwininfo -root >/dev/null 2>&1 && break
    sleep 0.05
done
export DISPLAY=:$(head -n 1 "$WORK/display" 2>/dev/null)
xwininfo -root >/dev/null 2>&1 || { echo "FAIL: Xvfb did not start: $(cat "$WORK/xvfb.log")"; exit 1; }

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
