#!/bin/bash
# The program's main window under a thousand players, on a LAN of two
# network namespaces made and removed here: the program on 10.78.0.1/16, and
# 999 players on 10.78.1.1 onwards, all addresses of one veth interface.
# Nothing is reachable from inside.
#
#   load_test.sh window_lan_tests burst-sender [FLOOD_SECONDS]
#
# 1. The kernel's receive buffer alone, read by nobody for 2 s (as a window
#    blocked by a pause): how many of a burst of 999 answers it keeps.
# 2. The program: 999 players answer its announcement at once; then the
#    connect dialog's "リスト更新", answered by all 999 at once while the
#    computer's pause and four animations block the window. All 999 must be
#    listed both times, in the peer list and in the dialog's list box.
# 3. A flood of FLOOD_SECONDS (default 10) at 5000 datagrams a second from
#    all 999 addresses, after the program has accepted a game: memory
#    (Rss, Pss) once a second must not grow after the first seconds.
set -u

TESTS=${1:?usage: load_test.sh window_lan_tests burst-sender [FLOOD_SECONDS]}
SENDER=${2:?usage: load_test.sh window_lan_tests burst-sender [FLOOD_SECONDS]}
SECONDS_OF_FLOOD=${3:-10}
source "$(dirname "$0")/../support/lan.sh"
NS_P=kestrel-load-prog-$$
NS_Q=kestrel-load-peers-$$
lan_create "$NS_P" 10.78.0.1/16 "$NS_Q" 10.78.1.1/16
# 998 more players' addresses: 10.78.1.2 onwards.
for i in $(seq 1 998); do
    n=$((0x0A4E0101 + i))
    echo "addr add $((n >> 24 & 255)).$((n >> 16 & 255)).$((n >> 8 & 255)).$((n & 255))/16 dev veth0"
done >"$WORK/addresses"
ip -n "$NS_Q" -batch "$WORK/addresses" || { echo "FAIL: could not add the players' addresses"; exit 1; }
PORT=$((21000 + $$ % 8000))
in_p() { ip netns exec "$NS_P" "$@"; }
in_q() { ip netns exec "$NS_Q" "$@"; }

# 1. The receive buffer alone.
in_q "$SENDER" answer "$PORT" 10.78.1.1 999 1 >"$WORK/sender-hold.log" 2>&1 &
PIDS+=($!)
sleep 0.5
in_p "$SENDER" hold "$PORT" 10.78.1.1 2000 >"$WORK/hold.log" 2>&1
wait "${PIDS[-1]}" 2>/dev/null
echo "buffer alone: $(cat "$WORK/hold.log")"

# 2. The burst, with and without the window blocked.
in_q "$SENDER" answer "$PORT" 10.78.1.1 999 2 >"$WORK/sender-burst.log" 2>&1 &
PIDS+=($!)
sleep 0.5
# 1000 rows: the 999 players and the program itself, which hears its own broadcast.
in_p env KESTREL_LOAD_PORT="$PORT" KESTREL_LOAD_COUNT=1000 "$TESTS" --gtest_filter='WindowUnderLoad.EveryPlayer*' \
    >"$WORK/burst.log" 2>&1
status=$?
echo "program: $(grep LISTED "$WORK/burst.log") (at start, after the refresh, in the list box, ms blocked)"
[ "$status" = 0 ] || fail "not all 999 players were listed (status $status)"

# 3. The flood.
in_p env KESTREL_LOAD_PORT="$PORT" KESTREL_LOAD_SECONDS="$SECONDS_OF_FLOOD" "$TESTS" \
    --gtest_filter='WindowUnderLoad.Memory*' 2>&1 | grep -v 'does not support raise' >"$WORK/flood.log" &
PROGRAM_PID=$!
PIDS+=($PROGRAM_PID)
sleep 1
in_q "$SENDER" flood "$PORT" 10.78.1.1 999 10.78.0.1 "$SECONDS_OF_FLOOD" 5000 >"$WORK/sender-flood.log" 2>&1
wait "$PROGRAM_PID"
echo "flood: $(cat "$WORK/sender-flood.log")"
echo "second rss_kB pss_kB queued dropped peers chat_lines boxes_open"
grep '^SAMPLE' "$WORK/flood.log" | cut -d' ' -f2-
# Flat: from the fifth second on, Rss grows by less than 4 MiB.
awk '$1 == "SAMPLE" && $2 >= 4 { if (first == "") first = $3; last = $3 }
     END { if (first == "" || last - first >= 4096) exit 1 }' "$WORK/flood.log" ||
    fail "memory grew under the flood"
awk '$1 == "SAMPLE" { if ($7 > 1000 || $8 > 1000 || $9 > 14) bad = 1 } END { exit bad }' "$WORK/flood.log" ||
    fail "a bound was passed"
grep -q '^SAMPLE' "$WORK/flood.log" || fail "no samples from the program"
lan_report
