#!/usr/bin/env bash
# Builds the dialogs screenshot program and renders the connect, settings,
# help and about dialogs into PNG files under a virtual X server. No network
# is used.
# Usage: scripts/screenshot-dialogs.sh [build directory] [output directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-$build/screenshots}
if ! command -v xvfb-run >/dev/null; then
    echo "xvfb-run is missing (apt-get install xvfb)" >&2
    exit 77
fi
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target dialogs_screenshot -j2
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    "$build/tests/settings/dialogs_screenshot" "$out"
