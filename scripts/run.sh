#!/usr/bin/env bash
# Builds the game and starts it on the current desktop. Where no display can
# be opened the program says why on stderr and ends with exit status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec build/app/corvidae
