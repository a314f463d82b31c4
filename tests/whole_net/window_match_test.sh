#!/bin/bash
# The main window against the headless peer's bot on a LAN of network
# namespaces (needs root). MODE:
#   plain  two games over one veth cable (10.77.2.1 and .2)
#   lossy  the same with 10 % of the datagrams lost each way
#   flood  one game on a switched LAN while a third host (.3) floods the
#          window for 10 s (KESTREL_LAN_FLOOD_RATE datagrams/s, default 4000)
# The test program runs inside the window's namespace and starts the bots
# and the flood in theirs. Everything is removed on exit, also on failure.
set -u

MODE=${1:?usage: window_match_test.sh plain|lossy|flood window_lan_tests PEER PROBE}
TEST=${2:?}
PEER=${3:?}
PROBE=${4:?}
for f in "$TEST" "$PEER" "$PROBE"; do
    [ -x "$f" ] || { echo "FAIL: $f is missing"; exit 1; }
done
source "$(dirname "$0")/../support/private_lock.sh"
source "$(dirname "$0")/../support/lan.sh"
NS_A=kestrel-wm-window-$$
NS_B=kestrel-wm-bot-$$
NS_C=
case $MODE in
plain | lossy)
    lan_create "$NS_A" 10.77.2.1/24 "$NS_B" 10.77.2.2/24
    [ "$MODE" = lossy ] && lan_loss "$NS_A" veth0 10 && lan_loss "$NS_B" veth0 10
    FILTER=WindowMatch.TwoGamesAgainstTheBot
    [ "$MODE" = lossy ] && FILTER=WindowMatch.TwoGamesOverALossyLink
    ;;
flood)
    NS_C=kestrel-wm-flood-$$
    lan_switch "kestrel-wm-switch-$$"
    lan_namespaces "$NS_A" "$NS_B" "$NS_C"
    hosts=("$NS_A" "$NS_B" "$NS_C")
    for i in 0 1 2; do
        lan_plug "kestrel-wm-switch-$$" "${hosts[$i]}" eth0 "10.77.2.$((i + 1))/24"
    done
    FILTER=WindowMatch.GameUnderAFlood
    ;;
*)
    echo "unknown mode $MODE"
    exit 2
    ;;
esac

mkdir -p "$WORK/logs"
ip netns exec "$NS_A" env QT_QPA_PLATFORM=offscreen KESTREL_LAN_PEER="$PEER" KESTREL_LAN_PROBE="$PROBE" \
    KESTREL_LAN_PEER_NS="$NS_B" KESTREL_LAN_FLOOD_NS="$NS_C" KESTREL_LAN_ADDRESS=10.77.2.1 \
    KESTREL_LAN_LOGS="$WORK/logs" "$TEST" --gtest_filter="$FILTER" >"$WORK/test.log" 2>&1
STATUS=$?
# KESTREL_LAN_KEEP=folder keeps the logs of the run.
[ -n "${KESTREL_LAN_KEEP:-}" ] && cp "$WORK"/test.log "$WORK"/logs/* "$KESTREL_LAN_KEEP"/
grep -E '^(\[ |.*: window sent|flood:|.*Failure|.*FAILED|Expected|Which|  )' "$WORK/test.log"
if [ "$MODE" = lossy ]; then
    lan_loss_report "$NS_A" veth0
    lan_loss_report "$NS_B" veth0
fi
if [ "$MODE" = flood ]; then
    # Datagrams the window's socket had no room for, by the kernel's count.
    ip netns exec "$NS_A" awk '/^Udp:/ { if (n++) print "window UDP: received", $2, "buffer full", $6 }' /proc/net/snmp
fi
if [ "$STATUS" -ne 0 ]; then
    echo "--- test.log (last 40 lines)"
    tail -n 40 "$WORK/test.log"
    for f in "$WORK"/logs/*.log; do
        echo "--- $(basename "$f") (last 60 lines)"
        tail -n 60 "$f"
    done
    exit 1
fi
