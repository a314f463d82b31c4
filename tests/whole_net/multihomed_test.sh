#!/bin/bash
# A host on two live networks and one dead interface (needs root). Each host
# is a network namespace of its own; everything is removed on exit.
#
#   alpha 10.81.1.2 --- lan1 10.81.1.1 [ home ] lan2 10.81.2.1 --- 10.81.2.2 beta
#                                      dead0 10.81.9.1 (up, no carrier; last in the list)
#
# home announces to the first running network's broadcast and then to the
# other's, and never to the dead interface: alpha and beta both hear it and
# answer, and home lists both. home's extra addresses lie behind no route, an
# "unreachable" and a "prohibit" route: each failed send shows the number of
# its own errno. alpha is started by a shell inside its namespace, which the
# peer's namespace guard must accept.
set -u

PEER=${1:?usage: multihomed_test.sh path/to/kestrel-peer}
if [ ! -x "$PEER" ]; then
    echo "FAIL: kestrel-peer not found at $PEER"
    exit 1
fi
source "$(dirname "$0")/../support/lan.sh"
HOME_NS=kestrel-home-$$
ALPHA_NS=kestrel-mh-alpha-$$
BETA_NS=kestrel-mh-beta-$$
lan_namespaces "$HOME_NS" "$ALPHA_NS" "$BETA_NS"
lan_cable "$HOME_NS" lan1 10.81.1.1/24 "$ALPHA_NS" eth0 10.81.1.2/24
lan_cable "$HOME_NS" lan2 10.81.2.1/24 "$BETA_NS" eth0 10.81.2.2/24
# A cable whose far end stays down: dead0 is up but has no carrier. Made
# last, it is the last entry of home's interface list.
ip -n "$HOME_NS" link add dead0 type veth peer name dead1
ip -n "$HOME_NS" addr add 10.81.9.1/24 broadcast + dev dead0
ip -n "$HOME_NS" link set dead0 up
ip -n "$HOME_NS" route add unreachable 10.97.0.0/16
ip -n "$HOME_NS" route add prohibit 10.96.0.0/16
ip -n "$HOME_NS" -o link | tail -1 | grep -q '^[0-9]*: dead0@.*NO-CARRIER' ||
    { echo "FAIL: dead0 is not the last interface, up without a carrier"; ip -n "$HOME_NS" -o link; exit 1; }
# What went out on dead0 or was dropped there for want of a carrier.
dead_count() {
    local stats=/sys/class/net/dead0/statistics
    echo $(($(ip netns exec "$HOME_NS" cat $stats/tx_packets) + $(ip netns exec "$HOME_NS" cat $stats/tx_dropped)))
}

A=$WORK/alpha.log
B=$WORK/beta.log
H=$WORK/home.log
# alpha's shell forks it (a command before "wait" is never exec'd in place).
ip netns exec "$ALPHA_NS" env KESTREL_PEER_IN_NAMESPACE=1 bash -c \
    '"$0" "$@" & echo $! >"'"$WORK"'/alpha.pid"; wait $!' \
    "$PEER" --log --name alpha --quit-after 30000 >"$A" 2>&1 &
PIDS+=($!)
ip netns exec "$BETA_NS" env KESTREL_PEER_IN_NAMESPACE=1 "$PEER" --log --name beta --quit-after 30000 >"$B" 2>&1 &
BETA=$!
PIDS+=($BETA)
wait_for_line "$A" '^(READY|REFUSED) ' && wait_for_line "$B" '^READY ' || lan_report
grep -q '^READY ' "$A" || { fail "alpha, started from a shell inside its namespace, was refused"; lan_report; }
ALPHA=$(cat "$WORK/alpha.pid")
ALPHA_PARENT=$(ps -o ppid= -p "$ALPHA" | tr -d ' ')
[ "$(readlink /proc/"$ALPHA_PARENT"/ns/net)" = "$(readlink /proc/"$ALPHA"/ns/net)" ] ||
    fail "alpha's parent is not inside alpha's namespace"

ip netns exec "$HOME_NS" env KESTREL_PEER_IN_NAMESPACE=1 "$PEER" --log --name home \
    --extra 10.98.0.1 --extra 10.97.0.1 --extra 10.96.0.1 --quit-after 30000 >"$H" 2>&1 &
HOME_PEER=$!
PIDS+=($HOME_PEER)
wait_for_line "$H" '^RECV 10\.81\.1\.2 [0-9]+\|2\|alpha\$0$'
wait_for_line "$H" '^RECV 10\.81\.2\.2 [0-9]+\|2\|beta\$0$'
kill -TERM "$HOME_PEER"
wait_for_exit "$HOME_PEER" && [ "$STATUS" = 0 ] || fail "home exited with status $STATUS"
wait_for_line "$A" '^RECV 10\.81\.1\.1 [0-9]+\|3\|home\$0$'
wait_for_line "$B" '^RECV 10\.81\.2\.1 [0-9]+\|3\|home\$0$'
kill -TERM "$ALPHA" "$BETA"
wait_for_line "$A" '^EXIT$'
wait_for_exit "$BETA"

# The last running network first, then the other; the dead one never.
grep -qx 'READY 20000 10.81.2.255 10.81.1.255' "$H" || fail "home's broadcast addresses"
[ "$(grep '^SEND ' "$H" | head -2 | paste -sd,)" = 'SEND 10.81.2.255 1|1|home$0,SEND 10.81.1.255 2|1|home$0' ] ||
    fail "home's first two datagrams are not its announcements to both networks"
grep -q '^SEND 10\.81\.9\.' "$H" && fail "home sent to the dead interface's subnet"
[ "$(dead_count)" = 0 ] || fail "$(dead_count) datagrams went out on the dead interface"
grep -qx 'RECV 10.81.1.1 2|1|home$0' "$A" || fail "alpha did not hear home's announcement"
grep -qx 'RECV 10.81.2.1 1|1|home$0' "$B" || fail "beta did not hear home's announcement"
grep -Eq '^PEER [0-9]+ 10\.81\.1\.2 alpha 0$' "$H" || fail "home does not list alpha"
grep -Eq '^PEER [0-9]+ 10\.81\.2\.2 beta 0$' "$H" || fail "home does not list beta"

# No route, an unreachable host, a route that prohibits: each with its own
# number, for the announcement and again for the goodbye.
errors="ERROR 相手への送信失敗 : 10051,ERROR 相手への送信失敗 : 10065,ERROR 相手への送信失敗 : 10013"
[ "$(grep '^ERROR ' "$H" | paste -sd,)" = "$errors,$errors" ] || fail "home's send errors"
grep -Eq '^SEND 10\.9[678]\.' "$H" && fail "a failed send was logged as sent"

lan_report
echo "a host on two networks and a dead interface: ok"
