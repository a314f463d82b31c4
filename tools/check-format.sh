#!/usr/bin/env bash
# Every tracked C++ file as .clang-format lays it out; prints each file
# that differs (clang-format -i <file> lays it out) and exits 1 then.
# Usage: tools/check-format.sh [source directory]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
format=$(command -v clang-format-14 || command -v clang-format || true)
[ -n "$format" ] || { echo "check-format: clang-format is missing (bash scripts/setup.sh)" >&2; exit 1; }
if git ls-files -z -- '*.cpp' '*.h' | xargs -0 "$format" --dry-run --Werror 2>/dev/null; then
    echo "check-format: every C++ file is formatted"
    exit 0
fi
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -n 1 sh -c '"$0" --dry-run --Werror "$1" >/dev/null 2>&1 || echo "check-format: $1 differs from .clang-format"' "$format"
exit 1
