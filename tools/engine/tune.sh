#!/usr/bin/env bash
# Writes engine/search/evaluation_weights.h: plays games of a plain alpha-beta
# search over hand-set weights against itself from random openings (depth 6,
# exact from 14 empty cells) and fits the static estimate's weights to their
# final scores. Deterministic: the same sources give the same header. About
# three quarters of an hour on one core for the default 20000 games.
#
#   tools/engine/tune.sh [--games N] [--seed S] [--build DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."

games=20000
seed=1
build=build
while [[ $# -gt 0 ]]; do
    case "$1" in
    --games) games="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    *) echo "usage: $0 [--games N] [--seed S] [--build DIR]" >&2; exit 2 ;;
    esac
done

cmake --build "$build" --target kestrel-tune >/dev/null
tune="$build/tools/engine/kestrel-tune"
out=engine/search/evaluation_weights.h
"$tune" games --games "$games" --seed "$seed" | "$tune" fit >"$out.new"
mv "$out.new" "$out"
command -v clang-format >/dev/null && clang-format -i "$out"
echo "wrote $out"
