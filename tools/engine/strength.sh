#!/usr/bin/env bash
# Plays the computer's levels against each other and against level 0 (the
# program's own player) from random openings, each opening with both colours,
# and prints one row per pairing: wins, draws and losses of the first level,
# its score and its mean final disc difference.
#
#   tools/engine/strength.sh [--openings N] [--time MS] [--build DIR] [PAIR...]
#
# PAIR is "A:B" (default: 1:0 2:0 3:0 2:1 3:2). --openings N gives 2N games a
# pairing (default 50, so 100 games). --time MS replaces the strongest level's
# 1000 ms (the computer's pause) for a shorter run; the table says which was
# used. Runs one game at a time: one core besides this shell.
set -euo pipefail
cd "$(dirname "$0")/../.."

openings=50
time_ms=""
build=build
pairs=()
while [[ $# -gt 0 ]]; do
    case "$1" in
    --openings) openings="$2"; shift 2 ;;
    --time) time_ms="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    *:*) pairs+=("$1"); shift ;;
    *) echo "usage: $0 [--openings N] [--time MS] [--build DIR] [A:B...]" >&2; exit 2 ;;
    esac
done
[[ ${#pairs[@]} -gt 0 ]] || pairs=(1:0 2:0 3:0 2:1 3:2)

cmake --build "$build" --target kestrel-strength kestrel-engine >/dev/null
strength="$build/tools/engine/kestrel-strength"

echo "levels:"
"$build/tools/engine/kestrel-engine" --list-levels 2>/dev/null | sed 's/^/  /' || true
for pair in "${pairs[@]}"; do
    args=("${pair%%:*}" "${pair##*:}" --openings "$openings" --seed 1)
    [[ -z "$time_ms" ]] || args+=(--time "$time_ms")
    "$strength" "${args[@]}"
done
