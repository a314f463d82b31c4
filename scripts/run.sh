#!/usr/bin/env bash
# Builds the game and starts it on the current desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
kestrelbay is built (build/app/corvidae), but it cannot start here: there is
no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run this command again from a terminal of a desktop session, or over ssh -X.
MSG
    exit 1
fi
exec build/app/corvidae
