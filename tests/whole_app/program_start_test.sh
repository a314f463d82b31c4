#!/bin/bash
# The real program on a small LAN of two network namespaces joined by one
# veth cable: the program (offscreen, no settings files) on 10.77.1.1, the
# headless peer on 10.77.1.2. Nothing is reachable from inside, and
# everything is removed on exit, also when the test fails.
#
# Shows: the program's first datagram is 1|1|<login name>$0 by directed
# broadcast and is answered; the program answers an announcement; a second
# copy is refused while the first runs and sends nothing, also when its
# environment names another runtime folder; a termination signal ends the
# program through its Exit command (MSG_BYE, exit code 0); after the first
# copy was killed a new copy starts again; a FIFO planted at the lock's path
# does not hold the start up.
set -u

PROGRAM=${1:?usage: program_start_test.sh path/to/corvidae path/to/kestrel-peer}
PEER=${2:?usage: program_start_test.sh path/to/corvidae path/to/kestrel-peer}
for f in "$PROGRAM" "$PEER"; do
    [ -x "$f" ] || { echo "FAIL: $f is missing"; exit 1; }
done
source "$(dirname "$0")/../support/private_lock.sh"
source "$(dirname "$0")/../support/lan.sh"
NS_A=kestrel-prog-$$
NS_B=kestrel-peer-$$
lan_create "$NS_A" 10.77.1.1/24 "$NS_B" 10.77.1.2/24

# The program runs from a folder of its own without settings files; its
# single-copy lock is in this run's private /dev/shm. Copies alternate with
# and without a runtime folder in their environment: they meet all the same.
mkdir -p "$WORK/bin" "$WORK/run"
chmod 700 "$WORK/run"
cp "$PROGRAM" "$WORK/bin/corvidae"
LOGIN=$(id -un)
LOCK=/dev/shm/lanterns-orchid-kestrelbay-$(id -u).lock
COPIES=0

start_program() {
    local runtime=(-u XDG_RUNTIME_DIR)
    COPIES=$((COPIES + 1))
    [ $((COPIES % 2)) = 0 ] && runtime=(XDG_RUNTIME_DIR="$WORK/run")
    ip netns exec "$NS_A" env "${runtime[@]}" QT_QPA_PLATFORM=offscreen \
        "$WORK/bin/corvidae" >"$WORK/program-$1.log" 2>&1 &
    LAST_PID=$!
    PIDS+=("$LAST_PID")
}

start_peer() {
    ip netns exec "$NS_B" env KESTREL_PEER_IN_NAMESPACE=1 \
        "$PEER" --log --name "$1" >"$WORK/$1.log" 2>&1 &
    LAST_PID=$!
    PIDS+=("$LAST_PID")
    wait_for_line "$WORK/$1.log" '^READY '
}

start_peer beta
BETA=$LAST_PID
start_program first
FIRST=$LAST_PID

# The program's first datagram, and beta's answer to it.
wait_for_line "$WORK/beta.log" '^RECV 10\.77\.1\.1 '
first=$(grep -E -m1 '^RECV 10\.77\.1\.1 ' "$WORK/beta.log")
[ "$first" = "RECV 10.77.1.1 1|1|$LOGIN\$0" ] || fail "first datagram of the program: '$first'"
wait_for_line "$WORK/beta.log" '^SEND 10\.77\.1\.1 [0-9]+\|2\|beta\$0$'

# A second copy is refused: it sends nothing, waits at its box, and ends with 0.
start_program second
SECOND=$LAST_PID
sleep 1
kill -0 "$SECOND" 2>/dev/null || fail "the second copy did not wait at its box"
[ "$(grep -c '^RECV 10\.77\.1\.1 1|1|' "$WORK/beta.log")" = 1 ] || fail "the second copy announced itself"
kill -TERM "$SECOND"
wait_for_exit "$SECOND" || fail "the second copy did not end"
[ "$STATUS" = 0 ] || fail "the second copy ended with $STATUS"

# beta leaves and gamma comes: the program answers gamma's announcement (its
# own broadcast came back to it and was answered too, so the seq is not known).
kill -TERM "$BETA"
wait_for_exit "$BETA"
wait_for_line "$WORK/beta.log" '^SEND 10\.77\.1\.255 [0-9]+\|3\|beta\$0$'
start_peer gamma
GAMMA=$LAST_PID
wait_for_line "$WORK/gamma.log" "^RECV 10\.77\.1\.1 [0-9]+\|2\|$LOGIN\\\$0\$"

# A termination signal runs the Exit command: MSG_BYE, then exit code 0.
kill -TERM "$FIRST"
wait_for_exit "$FIRST" || fail "the program did not end on SIGTERM"
[ "$STATUS" = 0 ] || fail "the program ended with $STATUS"
wait_for_line "$WORK/gamma.log" "^RECV 10\.77\.1\.1 [0-9]+\|3\|$LOGIN\\\$0\$"

# Killed, the lock goes with the process: a new copy starts and announces itself.
start_program third
THIRD=$LAST_PID
wait_for_line "$WORK/gamma.log" "^RECV 10\.77\.1\.1 1\|1\|$LOGIN\\\$0\$"
kill -9 "$THIRD"
wait "$THIRD" 2>/dev/null
start_program fourth
FOURTH=$LAST_PID
wait_for_line "$WORK/gamma.log" '^RECV 10\.77\.1\.1 1\|1\|' 2 # a copy started after the running one was killed
kill -TERM "$FOURTH"
wait_for_exit "$FOURTH"
[ "$STATUS" = 0 ] || fail "the fourth copy ended with $STATUS"

# A FIFO in the lock's place: the start goes on without the lock and says so.
[ -f "$LOCK" ] || fail "no lock file at $LOCK"
rm -f "$LOCK"
mkfifo -m 600 "$LOCK"
start_program fifth
FIFTH=$LAST_PID
wait_for_line "$WORK/gamma.log" '^RECV 10\.77\.1\.1 1\|1\|' 3 # a FIFO at the lock's path held nothing up
grep -q "lock $LOCK cannot be used" "$WORK/program-fifth.log" || fail "the refused lock was not reported"
kill -TERM "$FIFTH" "$GAMMA"
wait_for_exit "$FIFTH"
[ "$STATUS" = 0 ] || fail "the fifth copy ended with $STATUS"

lan_report
echo "the program announced itself, answered, refused a second copy and exited cleanly"
