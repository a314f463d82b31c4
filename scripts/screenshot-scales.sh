#!/usr/bin/env bash
# Renders the main window (at start, in a game, a question box) and the board
# with its animation frames at 100 % and at 200 % (QT_SCALE_FACTOR=2) into
# <output>/x1 and <output>/x2, to look at side by side. With a third argument,
# the output of an earlier run (for example from a build of an older commit),
# checks that every 100 % picture is pixel for pixel the same as before.
# No network is used; the window is drawn under a virtual X server.
# Usage: scripts/screenshot-scales.sh [build directory] [output directory] [earlier output directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=$(realpath -m "${2:-$build/screenshots/scales}")
earlier=${3:-}
for tool in xvfb-run compare; do
    command -v "$tool" >/dev/null || { echo "screenshot-scales: $tool is missing (bash scripts/setup.sh)" >&2; exit 77; }
done
cmake --build "$build" --target window_screenshot board_screenshot -j2 >/dev/null
window=$(find "$build" -name window_screenshot -type f -perm -u+x | head -n 1)
board=$(find "$build" -name board_screenshot -type f -perm -u+x | head -n 1)

for scale in 1 2; do
    mkdir -p "$out/x$scale"
    QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1400x1000x24 -dpi 96" \
        "$window" "$out/x$scale" >/dev/null 2>&1
    QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=offscreen "$board" "$out/x$scale/board.png" >/dev/null 2>&1
done
ls "$out"/x1/*.png "$out"/x2/*.png

[ -n "$earlier" ] || exit 0
differing=0
for picture in "$out"/x1/*.png; do
    name=$(basename "$picture")
    if [ ! -f "$earlier/x1/$name" ]; then
        echo "100 % $name: new, not in $earlier/x1"
        continue
    fi
    pixels=$(compare -metric AE "$earlier/x1/$name" "$picture" null: 2>&1 || true)
    echo "100 % $name: $pixels pixels differ from $earlier/x1/$name"
    [ "$pixels" = 0 ] || differing=1
done
exit $differing
