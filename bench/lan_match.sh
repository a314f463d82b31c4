#!/bin/bash
# A whole match between two bots over a veth cable between two network
# namespaces (needs root and iproute2), next to its floor: the least time the
# wire alone needs, the longest chain of datagrams that depend on each other
# times the one-way time of the link.
#
#   bash bench/lan_match.sh [build folder] [games per match] [rounds]
#   ALPHA_WRAP="perf record -g -o alpha.perf" bash bench/lan_match.sh ...
#
# The chain is counted once, from a match with --log (both peers print every
# datagram they send and receive, with the clock): a datagram depends on the
# last datagram its sender received from the other peer before sending it and
# is one trip after it; beta's request is trip 0. An answer and the next
# request that leave after the same datagram are thus one trip, not two.
# Then ROUNDS rounds, each a ping-pong of 2000 datagrams between the same two
# namespaces (one-way = median round trip / 2) followed by a match with
# logging off, timed from beta's request to its disconnect. Each round's
# ratio is its match over chain x its one-way time; the median and the
# spread are printed. Nothing leaves the two namespaces; they are removed on
# exit, also on failure (the EXIT trap of tests/support/lan.sh).
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
ALPHA=10.78.0.1
BETA=10.78.0.2
lan_create "$NS_A" $ALPHA/24 "$NS_B" $BETA/24
# Ahead of niced background work (builds, fuzzers) on a shared machine;
# the ping-pong and the match alike.
NICE="nice -n -10"

# The echo for the ping-pongs, beside alpha in its namespace.
ip netns exec "$NS_A" $NICE "$PROBE" echo 21999 600 >"$WORK/echo.log" 2>&1 &
PIDS+=($!)
wait_for_line "$WORK/echo.log" '^ECHO ' || exit 1
ip netns exec "$NS_B" "$PROBE" ping $ALPHA 21999 200 >/dev/null # warm-up

# peer NS LOG ARGS...: the headless peer, every line with the clock, started
# by WRAP when set. It takes the place of its caller's process: run it in a
# subshell of its own, so that the process is the peer (or WRAP) itself.
peer() {
    local ns=$1 log=$2
    shift 2
    exec ip netns exec "$ns" env KESTREL_PEER_IN_NAMESPACE=1 $NICE ${WRAP:-} "$PEER" --clock "$@" >"$log" 2>&1
}
# alpha LOG ARGS...: alpha waits to be asked (again after each match).
alpha() {
    local log=$1
    shift
    peer "$NS_A" "$log" --name alpha --bot --order wait "$@" &
    PIDS+=($!)
    ALPHA_PID=$!
    wait_for_line "$log" ' READY ' || exit 1
}
# Ends alpha as its exit command does; a wrapper (a profiler) then ends
# with it and writes its report.
stop_alpha() {
    local child
    child=$(pgrep -P "$ALPHA_PID" | head -1)
    kill -TERM "${child:-$ALPHA_PID}"
    wait "$ALPHA_PID" 2>/dev/null
}
# match LOG ARGS...: beta asks alpha, plays GAMES games, each ended by
# "ゲーム終了", and leaves.
match() {
    local log=$1
    shift
    (peer "$NS_B" "$log" --name beta --bot --request $ALPHA --games "$GAMES" --restart "$@")
    grep -q ' BOT DONE' "$log" || { echo "a match did not end:"; tail "$log"; exit 1; }
}
clock_of() { grep -m1 -E "$2" "$1" | cut -d' ' -f1; }

# The trips of the longest chain from beta's request to its disconnect, from
# the two logs of one match (see above). Each log is in the order its peer
# did things, but the clocks of two different logs' lines may be out of
# order by some microseconds (a SEND line's time is taken when the send has
# returned, and on a veth link the receiver may have run by then): the logs
# are read side by side, a received datagram only once its sending has been
# read. A peer's own broadcast coming back to it is no trip.
chain_of() {
    awk -v alpha_log="$1" -v beta_log="$2" -v alpha=$ALPHA -v beta=$BETA '
    function load(file, lines, n, line) {
        while ((getline line <file) > 0)
            if (line ~ /^[0-9]+ (SEND|RECV) /)
                lines[++n] = line
        return n
    }
    function kind(line) { split(line, f, " "); return f[2] }
    function bytes(line) { sub(/^[^ ]+ [^ ]+ [^ ]+ ?/, "", line); return line }
    # Takes one line of a side; false when it is a datagram not yet sent.
    function step(side, line, other, key, trip) {
        other = side == "a" ? "b" : "a"
        if (kind(line) == "SEND") {
            trip = (side in last) ? last[side] + 1 : 0
            key = side SUBSEP bytes(line)
            trips[key, sent[key]++] = trip
            if (side == "b" && bytes(line) ~ /^[0-9]+\|7\|/)
                disconnect = trip
            return 1
        }
        split(line, f, " ")
        if (f[3] == (side == "a" ? alpha : beta))
            return 1
        key = other SUBSEP bytes(line)
        if (taken[key] < sent[key])
            last[side] = trips[key, taken[key]++]
        else if (taken[key] < total[key])
            return 0
        return 1
    }
    BEGIN {
        na = load(alpha_log, a)
        nb = load(beta_log, b)
        for (ib = 1; ib <= nb && !(kind(b[ib]) == "SEND" && bytes(b[ib]) ~ /^[0-9]+\|4\|/); ib++)
            ;
        for (ia = 1; ia <= na && !(kind(a[ia]) == "RECV" && bytes(a[ia]) == bytes(b[ib])); ia++)
            ;
        for (i = ia; i <= na; i++)
            if (kind(a[i]) == "SEND")
                total["a", bytes(a[i])]++
        for (i = ib; i <= nb; i++)
            if (kind(b[i]) == "SEND")
                total["b", bytes(b[i])]++
        disconnect = -1
        for (moved = 1; moved && disconnect < 0;) {
            moved = 0
            for (; ia <= na && step("a", a[ia]); ia++)
                moved = 1
            for (; ib <= nb && disconnect < 0 && step("b", b[ib]); ib++)
                moved = 1
        }
        if (disconnect < 0)
            exit 1
        print disconnect
    }'
}

# How many datagrams the two peers sent from beta's request to its disconnect.
datagrams_of() {
    local from to
    from=$(clock_of "$2" "^[0-9]+ SEND $ALPHA [0-9]+\|4\|")
    to=$(grep -E "^[0-9]+ SEND $ALPHA [0-9]+\|7\|" "$2" | tail -1 | cut -d' ' -f1)
    cat "$1" "$2" | awk -v from="$from" -v to="$to" '$2 == "SEND" && $1 >= from && $1 <= to { n++ } END { print n }'
}

# The chain, from one match with every datagram printed.
alpha "$WORK/alpha-log.log" --log
match "$WORK/beta-log.log" --log
stop_alpha
TRIPS=$(chain_of "$WORK/alpha-log.log" "$WORK/beta-log.log") ||
    { echo "no chain from the request to the disconnect in the logs"; exit 1; }
DATAGRAMS=$(datagrams_of "$WORK/alpha-log.log" "$WORK/beta-log.log")
MOVES=$(grep -c ' BOT MOVE ' "$WORK/beta-log.log")
# The unlogged matches are timed by beta's own lines, printed right after it
# sent its request and its disconnect: how far behind the datagrams they are.
LOGGED=$(($(clock_of "$WORK/beta-log.log" ' BOT DONE') - $(clock_of "$WORK/beta-log.log" ' BOT REQUEST ')))
SENT=$(($(grep -E "^[0-9]+ SEND $ALPHA [0-9]+\|7\|" "$WORK/beta-log.log" | tail -1 | cut -d' ' -f1) -
    $(clock_of "$WORK/beta-log.log" "^[0-9]+ SEND $ALPHA [0-9]+\|4\|")))

# The rounds: ping-pong, then a match with logging off. ALPHA_WRAP starts
# alpha here under a profiler (its figures are then no measure of the match).
WRAP=${ALPHA_WRAP:-} alpha "$WORK/alpha.log"
ROWS=()
for round in $(seq "$ROUNDS"); do
    read -r _ RTT_US _ _ LOST < <(ip netns exec "$NS_B" $NICE "$PROBE" ping $ALPHA 21999 2000)
    [ -n "${RTT_US:-}" ] || { echo "the ping-pong of round $round got no answer"; exit 1; }
    log=$WORK/beta-$round.log
    match "$log"
    moves=$(grep -c ' BOT MOVE ' "$log")
    [ "$moves" = "$MOVES" ] || echo "round $round: $moves moves, not the $MOVES of the counted match"
    match_us=$(($(clock_of "$log" ' BOT DONE') - $(clock_of "$log" ' BOT REQUEST ')))
    ROWS+=("$round $RTT_US $LOST $match_us")
done
stop_alpha
[ -n "${KEEP_LOGS:-}" ] && cp "$WORK"/*.log "$KEEP_LOGS"/

echo "games:       $GAMES per match, $ROUNDS rounds of a ping-pong and a match"
# Other work on the machine slows the match, and can triple the ping-pong's
# round trip (its two processes then share a core): read the rounds next to
# the load.
echo "load:        $(cut -d' ' -f1-3 /proc/loadavg)"
echo "chain:       $TRIPS trips from beta's request to its disconnect ($DATAGRAMS datagrams, $MOVES of beta's moves)"
echo "logged:      $SENT us from the request to the disconnect, $LOGGED us between beta's lines (--log on)"
printf '%s\n' "${ROWS[@]}" | awk -v trips="$TRIPS" '{
    printf "round %-2d     one-way %.1f us (round trip %d us, %d lost), match %d us, floor %d us, ratio %.2f\n",
        $1, $2 / 2, $2, $3, $4, trips * $2 / 2, $4 / (trips * $2 / 2)
}'
printf '%s\n' "${ROWS[@]}" | awk -v trips="$TRIPS" '{ print $4 / (trips * $2 / 2) }' | sort -g |
    awk '{ r[NR] = $1 }
    END {
        median = NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2
        printf "ratio:       %.2f, the median of %d rounds (%.2f to %.2f)\n", median, NR, r[1], r[NR]
    }'
