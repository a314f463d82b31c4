# A small LAN for whole-program tests: two network namespaces joined by one
# veth cable, made and removed by the test itself, so that nothing the
# programs send ever reaches the machine's own network. Sourced by the test
# scripts; they call lan_create and leave the rest to the EXIT trap.
#
# Provides: WORK (a temporary folder), PIDS (processes to kill at the end),
# FAILURES and fail, wait_for_line, first_line, wait_for_exit, lan_create
# (or lan_namespaces and lan_cable for other shapes, lan_switch and lan_plug
# for a LAN of more hosts), lan_loss and lan_loss_report (a link that loses
# datagrams), lan_report (prints the logs and exits 1 when a check failed).

WORK=$(mktemp -d)
PIDS=()
LAN_NAMESPACES=()
FAILURES=0

lan_cleanup() {
    for pid in "${PIDS[@]}"; do
        kill -9 "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    for ns in "${LAN_NAMESPACES[@]}"; do
        ip netns pids "$ns" 2>/dev/null | xargs -r kill -9 2>/dev/null
        ip netns del "$ns" 2>/dev/null
    done
    rm -rf "$WORK"
}
trap lan_cleanup EXIT

fail() {
    echo "FAIL: $*"
    FAILURES=$((FAILURES + 1))
}

# wait_for_line FILE REGEX [N]: waits up to 10 s for (N, default 1) lines
# matching an extended regex in a file.
wait_for_line() {
    local file=$1 pattern=$2 count=${3:-1}
    for _ in $(seq 200); do
        [ "$(grep -Ec -- "$pattern" "$file" 2>/dev/null)" -ge "$count" ] && return 0
        sleep 0.05
    done
    fail "fewer than $count line(s) /$pattern/ in $(basename "$file")"
    return 1
}

# The first line of a file matching an extended regex, or nothing.
first_line() {
    grep -E -m1 -- "$2" "$1"
}

# Waits up to 10 s for a child process to end; its exit status in STATUS.
wait_for_exit() {
    local pid=$1
    for _ in $(seq 200); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            STATUS=$?
            return 0
        fi
        sleep 0.05
    done
    STATUS=timeout
    return 1
}

# lan_namespaces NS...: new namespaces with loopback up, removed on exit.
# Exits 77 with the reason where network namespaces cannot be made.
lan_namespaces() {
    [ "$(id -u)" = 0 ] || { echo "SKIP: network namespaces need root"; exit 77; }
    command -v ip >/dev/null || { echo "SKIP: the ip command (iproute2) is missing"; exit 77; }
    for ns in "$@"; do
        ip netns add "$ns" || { echo "SKIP: ip netns add failed (no permission for network namespaces here)"; exit 77; }
        LAN_NAMESPACES+=("$ns")
        ip -n "$ns" link set lo up
    done
}

# lan_cable NS_A IF_A ADDRESS_A NS_B IF_B ADDRESS_B (addresses with their
# prefix, e.g. 10.77.0.1/24): a veth cable between two namespaces, both ends up.
lan_cable() {
    local ns_a=$1 if_a=$2 address_a=$3 ns_b=$4 if_b=$5 address_b=$6
    # Made inside the namespaces: neither end ever exists in the machine's own.
    if ! ip -n "$ns_a" link add "$if_a" type veth peer name "$if_b" netns "$ns_b"; then
        echo "SKIP: veth pairs are not available here"
        exit 77
    fi
    # "broadcast +" sets the subnet's broadcast address, without which
    # directed broadcasts never leave the host.
    ip -n "$ns_a" addr add "$address_a" broadcast + dev "$if_a"
    ip -n "$ns_b" addr add "$address_b" broadcast + dev "$if_b"
    ip -n "$ns_a" link set "$if_a" up
    ip -n "$ns_b" link set "$if_b" up
    lan_wait_running "$ns_a" "$if_a"
    lan_wait_running "$ns_b" "$if_b"
}

# The carrier follows a moment (up to a second) after both ends are up; a
# program started before would find no running interface. Waits up to 5 s.
lan_wait_running() {
    for _ in $(seq 100); do
        ip -n "$1" -o link show dev "$2" | grep -q ' state UP ' && return 0
        sleep 0.05
    done
    echo "FAIL: $2 in $1 has no carrier"
    exit 1
}

# lan_create NS_A ADDRESS_A NS_B ADDRESS_B: two namespaces joined by veth0.
lan_create() {
    lan_namespaces "$1" "$3"
    lan_cable "$1" veth0 "$2" "$3" veth0 "$4"
}

# lan_switch NS: a namespace holding one bridge, br0, that joins every cable
# plugged into it, as a switch joins the hosts of a LAN.
lan_switch() {
    lan_namespaces "$1"
    ip -n "$1" link add br0 type bridge || { echo "SKIP: bridges are not available here"; exit 77; }
    ip -n "$1" link set br0 up
}

# lan_plug SWITCH NS IF ADDRESS: a cable from the host NS (its end IF, with
# ADDRESS and its prefix) to a new port of the switch.
LAN_PORTS=0
lan_plug() {
    local switch=$1 ns=$2 if=$3 address=$4
    LAN_PORTS=$((LAN_PORTS + 1))
    local port=port$LAN_PORTS
    ip -n "$ns" link add "$if" type veth peer name "$port" netns "$switch" ||
        { echo "SKIP: veth pairs are not available here"; exit 77; }
    ip -n "$switch" link set "$port" master br0 up
    ip -n "$ns" addr add "$address" broadcast + dev "$if"
    ip -n "$ns" link set "$if" up
    lan_wait_running "$ns" "$if"
}

# lan_loss NS IF PERCENT: the cable at IF of NS loses PERCENT % of the
# datagrams on one way, at random: with netem those leaving NS, where the
# kernel has no netem those arriving at NS (an iptables rule with the
# statistic match; a dropped send would report an error to the sender).
# Call it at both ends for loss each way. LAN_LOSS says which was used.
lan_loss() {
    local ns=$1 if=$2 percent=$3
    if ip netns exec "$ns" tc qdisc add dev "$if" root netem loss "$percent%" 2>/dev/null; then
        LAN_LOSS="netem on the way out"
        return 0
    fi
    command -v iptables >/dev/null || { echo "SKIP: neither netem nor iptables is available"; exit 77; }
    local probability
    probability=$(awk -v p="$percent" 'BEGIN { printf "%.4f", p / 100 }')
    ip netns exec "$ns" iptables -A INPUT -i "$if" -p udp -m statistic --mode random \
        --probability "$probability" -j DROP || { echo "SKIP: iptables cannot drop at random here"; exit 77; }
    LAN_LOSS="iptables statistic on the way in"
}

# lan_loss_report NS IF: how many datagrams the loss of lan_loss dropped there.
lan_loss_report() {
    local dropped
    if [ "${LAN_LOSS:-}" = "netem on the way out" ]; then
        dropped=$(ip netns exec "$1" tc -s qdisc show dev "$2" | grep -oE 'dropped [0-9]+' | head -1 | cut -d' ' -f2)
    else
        dropped=$(ip netns exec "$1" iptables -L INPUT -v -x -n | awk '/statistic/ { print $1 }')
    fi
    echo "$1 $2: ${dropped:-0} datagrams lost ($LAN_LOSS)"
}

# After the checks: the logs and exit 1 if any failed.
lan_report() {
    [ "$FAILURES" -eq 0 ] && return 0
    for f in "$WORK"/*.log; do
        echo "--- $(basename "$f")"
        cat "$f"
    done
    echo "$FAILURES check(s) failed"
    exit 1
}
