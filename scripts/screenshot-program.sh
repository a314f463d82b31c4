#!/usr/bin/env bash
# Starts the real program under a virtual X server and saves a screenshot of
# the screen as a PNG. The program announces itself as soon as it starts, so
# it runs in a network namespace of its own whose only network is a veth
# cable with both ends inside it: nothing it sends leaves the namespace. Needs root (for the namespace).
# Usage: scripts/screenshot-program.sh [output.png] [build directory]
set -euo pipefail
if [ "$(id -u)" != 0 ]; then
    echo "screenshot-program: a network namespace needs root" >&2
    exit 77
fi
# A private /dev/shm for the program's single-copy lock, so that a copy run
# by someone else on this machine does not turn this one away.
source "$(dirname "$0")/../tests/support/private_lock.sh"
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots/program.png}")
build=${2:-build}
for tool in xvfb-run import ip; do
    command -v "$tool" >/dev/null || { echo "screenshot-program: $tool is missing (bash scripts/setup.sh)" >&2; exit 77; }
done
[ -x "$build/app/corvidae" ] || cmake --build "$build" --target corvidae -j2

ns=kestrel-shot-$$
work=$(mktemp -d)
cleanup() {
    ip netns pids "$ns" 2>/dev/null | xargs -r kill -9 2>/dev/null || true
    ip netns del "$ns" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

ip netns add "$ns"
ip -n "$ns" link set lo up
ip -n "$ns" link add lan0 type veth peer name lan1
ip -n "$ns" addr add 10.78.0.1/24 broadcast + dev lan0
ip -n "$ns" link set lan0 up
ip -n "$ns" link set lan1 up

# A copy beside which no settings files lie.
mkdir -p "$work/bin" "$(dirname "$out")"
cp "$build/app/corvidae" "$work/bin/"
ip netns exec "$ns" env -u DISPLAY QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 640x440x24 -dpi 96" bash -c '
        "$1/bin/corvidae" &
        program=$!
        sleep 3
        import -window root "$2"
        kill -TERM $program
        wait $program' _ "$work" "$out"
echo "screenshot-program: wrote $out"
