#!/bin/bash
# Discovery by real directed broadcast between two hosts. Each host is a
# network namespace of its own, joined by one veth cable (10.77.0.1/24 and
# 10.77.0.2/24); nothing else is reachable from inside, and everything is
# removed on exit, also when the test fails.
#
# alpha starts first, so its announcement finds nobody; beta's announcement
# reaches alpha, which lists beta and answers; the answer makes beta list
# alpha. beta leaves first, and its MSG_BYE takes it off alpha's list.
set -u

PEER=${1:?usage: discovery_test.sh path/to/kestrel-peer}
if [ ! -x "$PEER" ]; then
    echo "FAIL: kestrel-peer not found at $PEER"
    exit 1
fi
source "$(dirname "$0")/../support/lan.sh"
NS_A=kestrel-alpha-$$
NS_B=kestrel-beta-$$
lan_create "$NS_A" 10.77.0.1/24 "$NS_B" 10.77.0.2/24

start_peer() {
    local ns=$1 name=$2 quit=$3
    ip netns exec "$ns" env KESTREL_PEER_IN_NAMESPACE=1 \
        "$PEER" --log --name "$name" --quit-after "$quit" >"$WORK/$name.log" 2>&1 &
    PIDS+=($!)
}

start_peer "$NS_A" alpha 4000
wait_for_line "$WORK/alpha.log" '^READY ' || { cat "$WORK/alpha.log"; exit 1; }
start_peer "$NS_B" beta 2000
# beta has alpha's answer: alpha has listed beta by now. Ask alpha for its list.
wait_for_line "$WORK/beta.log" '^RECV 10\.77\.0\.1 [0-9]+\|2\|alpha\$0$'
kill -USR1 "${PIDS[0]}"
wait_for_line "$WORK/alpha.log" '^PEERS '

for pid in "${PIDS[@]}"; do
    wait "$pid" || fail "a peer exited with status $?"
done
PIDS=()

A=$WORK/alpha.log
B=$WORK/beta.log

# Set-up: bound to the port, the directed broadcast of the veth subnet, first seq 1.
grep -qx 'READY 20000 10.77.0.255' "$A" || fail "alpha did not open on 20000 with broadcast 10.77.0.255"
grep -qx 'READY 20000 10.77.0.255' "$B" || fail "beta did not open on 20000 with broadcast 10.77.0.255"
[ "$(first_line "$A" '^SEND ')" = 'SEND 10.77.0.255 1|1|alpha$0' ] || fail "alpha's first datagram"
[ "$(first_line "$B" '^SEND ')" = 'SEND 10.77.0.255 1|1|beta$0' ] || fail "beta's first datagram"

# alpha heard beta's announcement as it was sent, answered it, and listed beta.
[ "$(first_line "$A" '^RECV 10\.77\.0\.2 ')" = 'RECV 10.77.0.2 1|1|beta$0' ] ||
    fail "alpha's first datagram from beta is not 1|1|beta\$0"
grep -Eq '^SEND 10\.77\.0\.2 [0-9]+\|2\|alpha\$0$' "$A" || fail "alpha did not answer beta"
sed -n '1,/^PEERS /p' "$A" | grep -Eq '^PEER [0-9]+ 10\.77\.0\.2 beta 0$' ||
    fail "alpha's list does not show beta"

# beta's first datagram from alpha is the answer; beta lists alpha and itself.
first_line "$B" '^RECV 10\.77\.0\.1 ' | grep -Eq '^RECV 10\.77\.0\.1 [0-9]+\|2\|alpha\$0$' ||
    fail "beta's first datagram from alpha is not alpha's answer"
grep -Eq '^PEER [0-9]+ 10\.77\.0\.1 alpha 0$' "$B" || fail "beta's list does not show alpha"
grep -Eq '^PEER [0-9]+ 10\.77\.0\.2 beta 0$' "$B" || fail "beta does not list its own announcement"

# beta's goodbye reached alpha and took beta off its list.
grep -Eq '^RECV 10\.77\.0\.2 [0-9]+\|3\|beta\$0$' "$A" || fail "alpha did not hear beta's goodbye"
sed -n '/^PEERS /,$p' "$A" | sed '1d' | grep -Eq '^PEER [0-9]+ 10\.77\.0\.2 ' &&
    fail "beta is still on alpha's final list"
grep -qx 'EXIT' "$A" && grep -qx 'EXIT' "$B" || fail "a peer did not exit through its exit command"

lan_report
echo "discovery between two namespaces: ok"
