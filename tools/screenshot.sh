#!/usr/bin/env bash
# Pictures of the program to look at, as PNG files in an output folder:
#   window   the main window at start, in a game and under a question box
#   dialogs  the connect, settings, help and about dialogs
#   board    the board with a piece placed and pieces turning, and the keyboard mark
#   program  the real program on a virtual X server (needs root: it runs in a
#            network namespace of its own whose only network is a veth cable
#            with both ends inside, so nothing it sends leaves)
#   scales   the window and the board at 100 % and at 200 % (QT_SCALE_FACTOR=2),
#            in <output>/x1 and <output>/x2
# With an earlier output folder (say from a build of an older commit), every
# picture made at 100 % is compared with the one of the same name there, and
# the exit status is 1 when any pixel differs. The windows are drawn under a
# virtual X server or offscreen; only `program` opens a socket.
# Usage: tools/screenshot.sh window|dialogs|board|program|scales [build directory]
#                            [output directory] [earlier output directory]
set -euo pipefail
what=${1:-}
case $what in
window | dialogs | board | program | scales) ;;
*)
    echo "usage: tools/screenshot.sh window|dialogs|board|program|scales [build] [output] [earlier output]" >&2
    exit 2
    ;;
esac
if [ "$what" = program ]; then
    [ "$(id -u)" = 0 ] || { echo "screenshot: a network namespace needs root" >&2; exit 77; }
    # A private /dev/shm for the program's single-copy lock, so that a copy
    # run by someone else on this machine does not turn this one away.
    source "$(dirname "$0")/../tests/support/private_lock.sh"
fi
cd "$(dirname "$0")/.."
build=${2:-build}
out=$(realpath -m "${3:-$build/screenshots/$what}")
earlier=${4:+$(realpath -m "$4")}
for tool in xvfb-run compare; do
    command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (bash scripts/setup.sh)" >&2; exit 77; }
done
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
mkdir -p "$out"

# on_x SIZE PROGRAM ARGUMENTS...: runs a Qt program under a virtual X server of 96 dpi.
on_x() {
    local size=$1
    shift
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${size}x24 -dpi 96" "$@"
}
target() {
    cmake --build "$build" --target "$1" -j2 >/dev/null
    echo "$build/tools/screenshot/$1"
}

case $what in
window) on_x 1024x768 "$(target window_screenshot)" "$out" ;;
dialogs) on_x 1024x768 "$(target dialogs_screenshot)" "$out" ;;
board) QT_QPA_PLATFORM=offscreen "$(target board_screenshot)" "$out/board.png" ;;
scales)
    window=$(target window_screenshot)
    board=$(target board_screenshot)
    for scale in 1 2; do
        mkdir -p "$out/x$scale"
        QT_SCALE_FACTOR=$scale on_x 1400x1000 "$window" "$out/x$scale" >/dev/null 2>&1
        QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=offscreen "$board" "$out/x$scale/board.png" >/dev/null 2>&1
    done
    ls "$out"/x1/*.png "$out"/x2/*.png
    ;;
program)
    for tool in import ip; do
        command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (bash scripts/setup.sh)" >&2; exit 77; }
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
    mkdir -p "$work/bin"
    cp "$build/app/corvidae" "$work/bin/"
    ip netns exec "$ns" env -u DISPLAY QT_QPA_PLATFORM=xcb \
        xvfb-run -a -s "-noreset -screen 0 640x440x24 -dpi 96" bash -c '
            "$1/bin/corvidae" &
            program=$!
            sleep 3
            import -window root "$2"
            kill -TERM $program
            wait $program' _ "$work" "$out/program.png"
    echo "$out/program.png"
    ;;
esac

[ -n "$earlier" ] || exit 0
# The pictures at 100 %: in x1/ of a `scales` run, else all of them.
hundred=$out
[ "$what" = scales ] && hundred=$out/x1 && earlier=$earlier/x1
differing=0
for picture in "$hundred"/*.png; do
    name=$(basename "$picture")
    if [ ! -f "$earlier/$name" ]; then
        echo "100 % $name: new, not in $earlier"
        continue
    fi
    pixels=$(compare -metric AE "$earlier/$name" "$picture" null: 2>&1 || true)
    echo "100 % $name: $pixels pixels differ from $earlier/$name"
    [ "$pixels" = 0 ] || differing=1
done
exit $differing
