# Sourced first by the scripts that show the real program on an X display
# of their own. Runs the whole script again in private network and mount
# namespaces, which go with it: /tmp/.X11-unix (only the X sockets' folder,
# so the checkout and the build may lie in /tmp) and /dev/shm (the
# single-copy lock) are fresh, loopback is up, and a veth cable with both
# ends inside gives the program a network to announce itself on, from which
# nothing leaves. Needs root and the tools below and in NEEDS; skips (77)
# without them.
#
# Provides: WORK (a temporary folder), FAILURES and fail, wait_until, and
# start_xvfb SIZE (an X server; exports DISPLAY).
for tool in unshare findmnt Xvfb xwininfo ip ${NEEDS:-}; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (bash scripts/setup.sh)"; exit 77; }
done
if [ "$(findmnt -n -o SOURCE --mountpoint /dev/shm | tail -n 1)" != "kestrel-display-$$" ]; then
    [ "$(id -u)" = 0 ] || { echo "SKIP: private network and mount namespaces need root"; exit 77; }
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
    exec unshare --net --mount --propagation private bash -c '
        mount -t tmpfs -o mode=1777 "kestrel-display-$$" /tmp/.X11-unix &&
        mount -t tmpfs -o mode=1777 "kestrel-display-$$" /dev/shm && exec bash "$0" "$@"' "$0" "$@"
fi
WORK=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$WORK"' EXIT
FAILURES=0
fail() {
    echo "FAIL: $*"
    FAILURES=$((FAILURES + 1))
}
ip link set lo up
ip link add lan0 type veth peer name lan1
ip addr add 10.79.0.1/24 broadcast + dev lan0
ip link set lan0 up
ip link set lan1 up

# Up to 30 s for a command to succeed (a loaded machine starts Xvfb and Qt slowly).
wait_until() {
    for _ in $(seq 600); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

# Xvfb on a free display number: the lock files in /tmp are the machine's.
# Without -noreset the server resets whenever its last client leaves and
# refuses connections meanwhile; the program's own display check is such a
# client, right before Qt connects.
start_xvfb() {
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "${1}x24" 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    wait_until test -s "$WORK/display" && export DISPLAY=:$(head -n 1 "$WORK/display") &&
        wait_until eval 'xwininfo -root >/dev/null 2>&1' ||
        { echo "FAIL: Xvfb did not start: $(cat "$WORK/xvfb.log")"; exit 1; }
}
