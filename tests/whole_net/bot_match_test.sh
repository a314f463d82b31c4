#!/bin/bash
# Two bots play a match on loopback only (127.0.0.1 and 127.0.0.2, each
# naming the other as an extra address): beta asks alpha, both games end
# with the same result on both sides, and beta leaves. Runs without root;
# nothing leaves 127.0.0.0/8 (no namespace is made).
set -u

PEER=${1:?usage: bot_match_test.sh path/to/kestrel-peer}
source "$(dirname "$0")/../support/lan.sh"
PORT=$((21000 + ($$ + 4000) % 8000))
A=$WORK/alpha.log
B=$WORK/beta.log

"$PEER" --bind 127.0.0.1 --extra 127.0.0.2 --port "$PORT" --name alpha --bot --order wait \
    --chat-reply 're: %s' --quit-after 40000 >"$A" 2>&1 &
ALPHA=$!
PIDS+=($ALPHA)
wait_for_line "$A" '^READY '
timeout 40 "$PEER" --bind 127.0.0.2 --extra 127.0.0.1 --port "$PORT" --name beta --request 127.0.0.1 \
    --games 2 --restart --nudge 2000 >"$B" 2>&1 || fail "beta did not finish its games (status $?)"
wait_for_line "$A" '^BOT ALONE'
kill -TERM "$ALPHA"
wait "$ALPHA" || fail "alpha exited with status $?"

[ "$(grep -c '^RESULT ' "$B")" -eq 2 ] || fail "beta did not see two results"
[ "$(grep '^RESULT ' "$A")" = "$(grep '^RESULT ' "$B")" ] || fail "the results differ"
grep -qx 'BOT SIDE black' "$B" || fail "beta did not get black"
grep -qx 'BOT SIDE white' "$A" || fail "alpha did not get white"
grep -q '^BOT DONE' "$B" || fail "beta did not end"
grep -q '^INFORMATION 相手が接続を終了しました' "$A" || fail "alpha was not told that beta left"
# Alpha's final board is beta's turned by 180 degrees.
last_full() { grep '^BOARD ' "$1" | grep -v ' 0 0$' | tail -1 | cut -d' ' -f2; }
[ "$(last_full "$A" | rev)" = "$(last_full "$B")" ] || fail "the final boards do not agree"
# So are its records of both games: each move's column and row turned.
turned_records() { grep '^RECORD ' "$1" | cut -d' ' -f2 | tr 'a-h1-8' 'hgfedcba87654321'; }
[ "$(grep -c '^RECORD [a-h1-8]\{10,\}$' "$B")" -eq 2 ] || fail "beta did not record two games"
[ "$(turned_records "$A")" = "$(grep '^RECORD ' "$B" | cut -d' ' -f2)" ] || fail "the records do not agree"
lan_report
echo "two bots on loopback: ok"
