#!/usr/bin/env bash
# Runs one fuzz target over its kept corpus (the seeds and every input that
# once found a fault), with its dictionary where it has one. Inputs found new
# go to a scratch folder, never into the kept corpus; a crash is saved in the
# current folder as crash-<hash>, to be kept in the corpus once fixed.
#
#   fuzz/run.sh build-fuzz/fuzz/dispatch_fuzz -runs=20000          # the smoke test
#   nice fuzz/run.sh build-fuzz/fuzz/dispatch_fuzz -runs=10000000  # a long run, one core
#
# Further arguments go to libFuzzer (-max_total_time=3600, -jobs=1, ...).
set -euo pipefail
target=${1:?usage: run.sh path/to/<name>_fuzz [libFuzzer options...]}
shift
here=$(cd "$(dirname "$0")" && pwd)
name=$(basename "$target")
name=${name%_fuzz}
corpus=$here/corpus/$name
options=(-seed=1 -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)
[ -f "$here/$name.dict" ] && options+=(-dict="$here/$name.dict")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$target" "${options[@]}" "$@" "$scratch" "$corpus"
