#!/usr/bin/env bash
# Builds a screenshot program and renders under a virtual X server, into PNG
# files: "window" the main window at start, in a game and under a question
# box; "dialogs" the connect, settings, help and about dialogs. No network
# is used.
# Usage: scripts/screenshots.sh window|dialogs [build directory] [output directory]
set -euo pipefail
cd "$(dirname "$0")/.."
case ${1:-} in
window) program=tests/app/window_screenshot ;;
dialogs) program=tests/settings/dialogs_screenshot ;;
*)
    echo "usage: scripts/screenshots.sh window|dialogs [build directory] [output directory]" >&2
    exit 2
    ;;
esac
build=${2:-build}
out=${3:-$build/screenshots}
if ! command -v xvfb-run >/dev/null; then
    echo "xvfb-run is missing (apt-get install xvfb)" >&2
    exit 77
fi
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target "$(basename "$program")" -j2
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$build/$program" "$out"
