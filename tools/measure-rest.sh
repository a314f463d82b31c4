#!/usr/bin/env bash
# Measures the game at start and at rest side by side with a bare Qt window
# (tools/measure/bare_window: a main window with a menu bar and a line edit),
# once as it is (Latin texts, Qt's default font) and once in Japanese (its
# texts in Japanese in the game's dialog font, with Qt's Japanese
# translation, as the game's interface is), and prints the figures and the
# game's ratios to both:
#   - how long each takes from exec until its window is mapped, and the
#     processor time its threads had used by then (steadier on a busy machine),
#   - its memory 3 s after the window is mapped: PSS, and RSS and USS (its
#     private pages) beside it, since the PSS of the Qt libraries depends on
#     how many other processes of the machine map them at that moment,
#   (all medians of runs that alternate between the programs),
#   - its wake-ups in 10 s once it has been left alone for 12 s (the runs of
#     each thread counted by the scheduler, /proc/<pid>/task/*/schedstat),
#     and, as a check, the poll and timer calls strace sees in the 10 s after,
#   - its threads.
# All run under a virtual X server, with a private sound server where
# pulseaudio is installed, inside a network namespace of their own (the game
# announces itself as soon as it starts: nothing leaves the namespace) and a
# private mount namespace (its own /tmp and /dev/shm). Needs root.
# Usage: tools/measure-rest.sh [build directory] [runs] [game program, to measure another build of it]
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
runs=${2:-9}
game=$(realpath "${3:-$build/app/corvidae}")

if [ "$(findmnt -n -o SOURCE --mountpoint /tmp | tail -n 1)" != "kestrel-measure-$$" ]; then
    [ "$(id -u)" = 0 ] || { echo "measure-rest: network and mount namespaces need root" >&2; exit 77; }
    for tool in unshare findmnt Xvfb xwininfo ip; do
        command -v "$tool" >/dev/null || { echo "measure-rest: $tool is missing (bash scripts/setup.sh)" >&2; exit 77; }
    done
    cmake --build "$build" --target corvidae bare_window window_map_time >/dev/null || exit 1
    exec unshare --net --mount --propagation private bash -c '
        mount -t tmpfs -o mode=1777 "kestrel-measure-$$" /tmp &&
        mount -t tmpfs -o mode=1777 "kestrel-measure-$$" /dev/shm && exec bash "$0" "$@"' "$0" "$build" "$runs" "$game"
fi

bare=$build/tools/measure/bare_window
map_time=$build/tools/measure/window_map_time
trap 'kill -9 $(jobs -p) 2>/dev/null; wait 2>/dev/null' EXIT

# The namespace's network: loopback and one cable with both ends inside.
ip link set lo up
ip link add lan0 type veth peer name lan1
ip addr add 10.80.0.1/24 broadcast + dev lan0
ip link set lan0 up
ip link set lan1 up

export HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/run XDG_CONFIG_HOME=/tmp/home/.config DISPLAY=:5
mkdir -p /tmp/home /tmp/run /tmp/bin
chmod 700 /tmp/run
# A copy of the game beside which no settings files lie.
cp "$game" /tmp/bin/corvidae
game=/tmp/bin/corvidae

Xvfb :5 -nolisten tcp -screen 0 1024x768x24 >/tmp/xvfb.log 2>&1 &
for _ in $(seq 200); do
    xwininfo -root >/dev/null 2>&1 && break
    sleep 0.05
done

sound="no sound server"
if command -v pulseaudio >/dev/null && command -v pactl >/dev/null; then
    cat >/tmp/server.pa <<PA
load-module module-native-protocol-unix socket=/tmp/pulse.socket auth-anonymous=1
load-module module-null-sink sink_name=out
set-default-sink out
PA
    export PULSE_SERVER=unix:/tmp/pulse.socket PULSE_RUNTIME_PATH=/tmp/run PULSE_STATE_PATH=/tmp/home
    pulseaudio -n -F /tmp/server.pa --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --disable-shm=yes --log-target=file:/tmp/pulse.log >/dev/null 2>&1 &
    for _ in $(seq 50); do
        pactl info >/dev/null 2>&1 && { sound="a private sound server (null sink)"; break; }
        sleep 0.1
    done
fi

# The programs measured: the bare window, the same in Japanese, the game.
names=(bare japanese game)
# start NAME: starts it, sets PID, MAPPED (ms until its window was mapped)
# and CPU (processor ms its threads had used by then).
start() {
    local line command
    case $1 in
    bare) command=("$bare") ;;
    japanese) command=("$bare" --japanese) ;;
    *) command=("$game") ;;
    esac
    line=$("$map_time" "/tmp/$1.log" "${command[@]}") ||
        { echo "measure-rest: $1 did not start: $(cat "/tmp/$1.log")" >&2; exit 1; }
    read -r PID MAPPED CPU <<<"$line"
}
stop() {
    kill -TERM "$PID" 2>/dev/null
    for _ in $(seq 100); do
        kill -0 "$PID" 2>/dev/null || return 0
        sleep 0.05
    done
    kill -9 "$PID" 2>/dev/null
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Scheduler runs of every thread: "<tid> <name> <runs>" lines.
thread_runs() {
    for task in /proc/"$1"/task/*; do
        echo "${task##*/} $(tr ' ' _ <"$task/comm") $(cut -d' ' -f3 "$task/schedstat")"
    done 2>/dev/null
}

# Start-up and memory: alternating runs, so that a busy moment of the
# machine, or other processes sharing the libraries, fall on both.
for name in "${names[@]}"; do
    : >"/tmp/$name.times"
    : >"/tmp/$name.cpu"
    : >"/tmp/$name.memory"
done
for _ in $(seq "$runs"); do
    for name in "${names[@]}"; do
        start "$name"
        echo "$MAPPED" >>"/tmp/$name.times"
        echo "$CPU" >>"/tmp/$name.cpu"
        sleep 3
        awk '/^Pss:/ { pss = $2 } /^Rss:/ { rss = $2 } /^Private_(Clean|Dirty):/ { uss += $2 }
             END { print pss, rss, uss }' "/proc/$PID/smaps_rollup" >>"/tmp/$name.memory"
        stop
    done
done

# At rest: threads and wake-ups of one run of each.
for name in "${names[@]}"; do
    start "$name"
    sleep 3
    ls "/proc/$PID/task" | wc -l >"/tmp/$name.threads"
    sort -u "/proc/$PID"/task/*/comm | tr '\n' ' ' >"/tmp/$name.names"
    sleep 9
    thread_runs "$PID" >/tmp/before
    sleep 10
    thread_runs "$PID" >/tmp/after
    join <(sort /tmp/before) <(sort /tmp/after) |
        awk '{ d = $5 - $3; total += d; if (d > 0) busy = busy sprintf(" %s:%d", $2, d) } END { print total + 0, busy }' \
            >"/tmp/$name.wakeups"
    if command -v strace >/dev/null; then
        timeout -s INT 10 strace -f -c -e trace=poll,ppoll,select,pselect6,epoll_wait,epoll_pwait,nanosleep,clock_nanosleep,futex \
            -p "$PID" >/dev/null 2>"/tmp/$name.strace"
        awk '$NF == "total" { calls = $(NF - 2) } END { print calls + 0 }' "/tmp/$name.strace" >"/tmp/$name.calls"
    fi
    stop
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "-" }'; }
# row LABEL BARE JAPANESE GAME: the figures and the game's ratios to both bare windows.
row() { printf '%-44s %10s %10s %10s %8s %8s\n' "$1" "$2" "$3" "$4" "$(ratio "$4" "$2")" "$(ratio "$4" "$3")"; }
figure() { printf '%-44s %10s %10s %10s\n' "$@"; }
column_median() { cut -d' ' -f"$2" "$1" | median; }
echo "kestrelbay at start and at rest next to a bare Qt 6 window ($runs starts each; $sound)"
printf '%-44s %10s %10s %10s %8s %8s\n' "" "bare" "bare (ja)" "kestrelbay" "/bare" "/ja"
row "window mapped after exec (median ms)" "$(median </tmp/bare.times)" "$(median </tmp/japanese.times)" \
    "$(median </tmp/game.times)"
row "processor time until mapped (median ms)" "$(median </tmp/bare.cpu)" "$(median </tmp/japanese.cpu)" \
    "$(median </tmp/game.cpu)"
column=1
for what in PSS RSS USS; do
    row "memory 3 s after mapping ($what, median KiB)" "$(column_median /tmp/bare.memory $column)" \
        "$(column_median /tmp/japanese.memory $column)" "$(column_median /tmp/game.memory $column)"
    column=$((column + 1))
done
figure "wake-ups in 10 s after 12 s at rest" "$(cut -d' ' -f1 /tmp/bare.wakeups)" \
    "$(cut -d' ' -f1 /tmp/japanese.wakeups)" "$(cut -d' ' -f1 /tmp/game.wakeups)"
if [ -f /tmp/bare.calls ]; then
    figure "poll/sleep/futex calls in the next 10 s" "$(cat /tmp/bare.calls)" "$(cat /tmp/japanese.calls)" \
        "$(cat /tmp/game.calls)"
fi
figure "threads" "$(cat /tmp/bare.threads)" "$(cat /tmp/japanese.threads)" "$(cat /tmp/game.threads)"
for name in "${names[@]}"; do
    label=$name
    [ "$name" = game ] && label=kestrelbay
    echo "$label: start-up times (ms): $(tr '\n' ' ' <"/tmp/$name.times")"
    echo "$label: processor times (ms): $(tr '\n' ' ' <"/tmp/$name.cpu")"
    echo "$label: PSS of each run (KiB): $(cut -d' ' -f1 "/tmp/$name.memory" | tr '\n' ' ')"
    echo "$label: threads: $(cat "/tmp/$name.names")"
    echo "$label: threads that woke:$(cut -s -d' ' -f2- "/tmp/$name.wakeups")"
done
