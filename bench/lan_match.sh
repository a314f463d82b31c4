#!/bin/bash
# A whole match between two bots over a veth cable between two network
# namespaces (needs root), next to its floor: the number of message
# exchanges (a request and its answer) times the round trip of the link,
# measured by a ping-pong of datagrams between the same two namespaces.
#
#   bash bench/lan_match.sh [build folder] [games per match] [matches]
#
# Prints the round trip, the exchanges, the match time, the floor and the
# ratio. Nothing leaves the two namespaces; they are removed on exit.
set -u
BUILD=${1:-build}
GAMES=${2:-20}
ROUNDS=${3:-5}
PEER=$BUILD/tools/peer/kestrel-peer
PROBE=$BUILD/tools/probe/kestrel-probe
for f in "$PEER" "$PROBE"; do
    [ -x "$f" ] || { echo "missing $f: cmake --build $BUILD --target kestrel-peer kestrel-probe"; exit 1; }
done
source "$(dirname "$0")/../tests/support/lan.sh"
NS_A=kestrel-bench-a-$$
NS_B=kestrel-bench-b-$$
lan_create "$NS_A" 10.78.0.1/24 "$NS_B" 10.78.0.2/24
# Ahead of niced background work (builds, fuzzers) on a shared machine;
# the round trip and the match alike.
NICE="nice -n -10"

# The link: median round trip of 2000 datagrams, one at a time.
ip netns exec "$NS_A" $NICE "$PROBE" echo 21999 60 >"$WORK/echo.log" 2>&1 &
PIDS+=($!)
wait_for_line "$WORK/echo.log" '^ECHO ' || exit 1
ip netns exec "$NS_B" "$PROBE" ping 10.78.0.1 21999 200 >/dev/null # warm-up
read -r _ RTT_US _ _ LOST < <(ip netns exec "$NS_B" $NICE "$PROBE" ping 10.78.0.1 21999 2000)
kill "${PIDS[0]}"
wait "${PIDS[0]}" 2>/dev/null

# The match: alpha waits to be asked, beta asks and plays GAMES games, each
# ended by "ゲーム終了", then leaves. Every line carries the clock.
peer() {
    local ns=$1 log=$2
    shift 2
    ip netns exec "$ns" env KESTREL_PEER_IN_NAMESPACE=1 $NICE "$PEER" --clock --log "$@" >"$log" 2>&1
}
peer "$NS_A" "$WORK/alpha.log" --name alpha --bot --order wait &
PIDS+=($!)
wait_for_line "$WORK/alpha.log" ' READY ' || exit 1

# ROUNDS matches one after another (alpha waits to be asked again after each);
# the machine is shared, so the median of their times is the one reported.
TIMES=()
for round in $(seq "$ROUNDS"); do
    log=$WORK/beta-$round.log
    peer "$NS_B" "$log" --name beta --bot --request 10.78.0.1 --games "$GAMES" --restart
    grep -q ' BOT DONE' "$log" || { echo "match $round did not end"; tail "$log"; exit 1; }
    # From beta's request to its last datagram (the MSG_DISCONNECT).
    start=$(grep -m1 -E '^[0-9]+ SEND 10\.78\.0\.1 [0-9]+\|4\|' "$log" | cut -d' ' -f1)
    end=$(grep -E '^[0-9]+ SEND 10\.78\.0\.1 [0-9]+\|7\|' "$log" | tail -1 | cut -d' ' -f1)
    TIMES+=($((end - start)))
done
kill -TERM "${PIDS[1]}"
wait "${PIDS[1]}" 2>/dev/null
[ -n "${KEEP_LOGS:-}" ] && cp "$WORK"/*.log "$KEEP_LOGS"/

# Exchanges of one match: every request beta sent and every request alpha
# sent to beta (connect, disconnect, chat, order, game start, game end, move,
# pass). The results travel beside the last move's answer and are not counted.
EXCHANGES=$(grep -cE '^[0-9]+ SEND 10\.78\.0\.1 [0-9]+\|(4|7|9|11|13|15|17|20)\|' "$WORK/beta-1.log")
EXCHANGES=$((EXCHANGES + $(grep -cE '^[0-9]+ SEND 10\.78\.0\.2 [0-9]+\|(4|7|9|11|13|15|17|20)\|' "$WORK/alpha.log") / ROUNDS))
MOVES=$(grep -c ' BOT MOVE ' "$WORK/beta-1.log")
MATCH_US=$(printf '%s\n' "${TIMES[@]}" | sort -n | sed -n "$(((ROUNDS + 1) / 2))p")
FLOOR_US=$((EXCHANGES * RTT_US))
echo "games:       $GAMES per match, $ROUNDS matches"
# Other work on the machine slows the match (two busy processes) more than
# the ping-pong: read the ratio next to the load.
echo "load:        $(cut -d' ' -f1-3 /proc/loadavg)"
echo "round trip:  $RTT_US us (median of 2000 datagrams; $LOST lost)"
echo "exchanges:   $EXCHANGES per match ($((MOVES * 2)) of them moves)"
echo "matches:     ${TIMES[*]} us"
echo "match:       $MATCH_US us, the median ($((MATCH_US / EXCHANGES)) us per exchange)"
echo "floor:       $FLOOR_US us (exchanges x round trip)"
awk -v m="$MATCH_US" -v f="$FLOOR_US" 'BEGIN { printf "ratio:       %.2f (target: 1.5 or less)\n", m / f }'
