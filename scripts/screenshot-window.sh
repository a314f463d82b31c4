#!/usr/bin/env bash
# Builds the window screenshot program and renders the main window, with its
# board, into PNG files under a virtual X server. No network is used.
# Usage: scripts/screenshot-window.sh [build directory] [output directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-window}
out=${2:-$build/screenshots}
if ! command -v xvfb-run >/dev/null; then
    echo "xvfb-run is missing (apt-get install xvfb)" >&2
    exit 77
fi
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target window_screenshot -j2
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    "$build/tests/app/window_screenshot" "$out"
