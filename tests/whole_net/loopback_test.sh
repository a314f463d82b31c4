#!/bin/bash
# Two peers on loopback only (127.0.0.1 and 127.0.0.2, each naming the other
# as an extra address), and the peer's refusal to start anywhere else.
# Runs without root; nothing leaves 127.0.0.0/8.
set -u

PEER=${1:?usage: loopback_test.sh path/to/kestrel-peer}
source "$(dirname "$0")/../support/lan.sh" # no namespace is made
PORT=$((21000 + $$ % 8000))

# Unbound, the peer must not even open a socket. Should that guard ever
# break, the peer would broadcast: so it is tried in an empty network
# namespace of its own, where nothing could get out.
unset KESTREL_PEER_IN_NAMESPACE
isolated=""
if unshare -n true 2>/dev/null; then
    isolated="unshare -n"
elif unshare -rn true 2>/dev/null; then
    isolated="unshare -rn"
fi
if [ -n "$isolated" ]; then
    $isolated "$PEER" --name x --quit-after 0 >"$WORK/refused.log" 2>&1
    [ $? -eq 3 ] || fail "an unbound peer was not refused"
    grep -q '^REFUSED ' "$WORK/refused.log" || fail "the refusal gives no reason"
else
    echo "note: no empty network namespace can be made here; the unbound refusal is left to the unit tests"
fi
# The namespace flag alone, in the machine's namespace: refused. Bound to
# loopback, so that even a broken guard could reach nothing else.
KESTREL_PEER_IN_NAMESPACE=1 "$PEER" --name x --bind 127.0.0.1 --port "$PORT" --quit-after 0 \
    >"$WORK/refused-ns.log" 2>&1
[ $? -eq 3 ] || fail "the namespace flag alone let the peer start in the machine's namespace"
A=$WORK/alpha.log
B=$WORK/beta.log

# A failure the rest cannot go on from: the logs so far, and out.
give_up() {
    fail "$*"
    echo "--- alpha"; cat "$A"
    [ -f "$B" ] && { echo "--- beta"; cat "$B"; }
    exit 1
}
# The peer list alpha printed on its n-th SIGUSR1 (n = $1), "PEERS" line included.
alpha_list() {
    awk -v n="$1" '/^PEER / { rows = rows $0 "\n" } /^PEERS / { if (++seen == n) { printf "%s%s\n", rows, $0; exit } rows = "" }' "$A"
}

# Both run until told to end (SIGTERM, their exit command); the time limit
# only stops a peer left behind.
"$PEER" --bind 127.0.0.1 --extra 127.0.0.2 --port "$PORT" --log --name alpha --quit-after 40000 >"$A" 2>&1 &
ALPHA=$!
PIDS+=($ALPHA)
wait_for_line "$A" '^READY ' || give_up "alpha did not get ready"
"$PEER" --bind 127.0.0.2 --extra 127.0.0.1 --port "$PORT" --log --name beta --dial-up --quit-after 40000 >"$B" 2>&1 &
BETA=$!
PIDS+=($BETA)

# Beta's announcement has reached alpha: beta is on alpha's list.
wait_for_line "$A" '^RECV 127\.0\.0\.2 [0-9]+\|1\|beta\$1$' || give_up "alpha did not hear beta's announcement"
kill -USR1 "$ALPHA"
wait_for_line "$A" '^PEERS ' || give_up "alpha did not print its list"
alpha_list 1 | grep -Eqx 'PEER [0-9]+ 127\.0\.0\.2 beta 1' || fail "alpha does not list beta after its announcement"

# Beta leaves: its goodbye takes it off alpha's list.
kill -TERM "$BETA"
wait "$BETA" || fail "beta exited with status $?"
wait_for_line "$A" '^RECV 127\.0\.0\.2 [0-9]+\|3\|beta\$1$' || give_up "alpha did not hear beta's goodbye"
kill -USR1 "$ALPHA"
wait_for_line "$A" '^PEERS ' 2 # alpha's list after beta's goodbye
alpha_list 2 | grep -Eq '^PEER [0-9]+ 127\.0\.0\.2 ' && fail "beta is still on alpha's list after its goodbye"
alpha_list 2 | grep -qx 'PEERS 0' || fail "alpha's list is not empty after beta's goodbye"

kill -TERM "$ALPHA"
wait "$ALPHA" || fail "alpha exited with status $?"
PIDS=()

grep -qx "READY $PORT 127.255.255.255" "$A" || fail "alpha's set-up line"
grep -qx 'SEND 127.255.255.255 1|1|alpha$0' "$A" || fail "alpha's first datagram"
grep -qx 'SEND 127.0.0.2 2|1|alpha$0' "$A" || fail "alpha's announcement to its extra address"
[ "$(grep -m1 '^RECV 127\.0\.0\.2 ' "$A")" = 'RECV 127.0.0.2 2|1|beta$1' ] || fail "alpha's first datagram from beta"
grep -Eq '^PEER [0-9]+ 127\.0\.0\.1 alpha 0$' "$B" || fail "beta does not list alpha"
# The goodbye goes to the extra address too, whoever listens there.
grep -Eq '^SEND 127\.0\.0\.2 [0-9]+\|3\|alpha\$0$' "$A" || fail "alpha's goodbye to its extra address"

lan_report
echo "two peers on loopback: ok"
