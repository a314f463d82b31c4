#!/usr/bin/env bash
# Draws the board with pieces and every animation frame into a PNG file, to look at.
# Usage: scripts/screenshot-board.sh [build-dir] [out.png]
# Needs a configured build folder (default build/); draws offscreen, no display needed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-$build/board.png}
cmake --build "$build" --target board_screenshot -j2 >/dev/null
program=$(find "$build" -name board_screenshot -type f -perm -u+x | head -n 1)
QT_QPA_PLATFORM=offscreen "$program" "$out"
