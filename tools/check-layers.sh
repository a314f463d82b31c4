#!/usr/bin/env bash
# The folders are the layers: a file may include only from the folders its
# own folder's row allows (itself and the layers below it), always by its
# path from the source root, and nothing below platform/ includes a Qt
# header. Checks every tracked C++ file and prints each include that breaks
# the table; exit status 1 when there is one.
# Usage: tools/check-layers.sh [source directory]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# folder        the folders its files may include
table='
text            text
engine          text engine
wire            text engine wire
settings        text engine settings
records         text engine settings records
session         text engine wire settings records session
platform        text engine wire settings records session platform
ui              text engine wire settings records session platform ui
app             text engine wire settings records session platform ui app
resources       resources
tests/support   text engine wire settings records session platform ui app tests/support
tools           text engine wire settings records session platform ui app tests/support tools
fuzz            text engine wire settings records session tests/support fuzz
bench           text engine wire settings records session platform ui app tests/support tools bench
tests           text engine wire settings records session platform ui app tests/support tools tests
'
# Plain C++: no Qt header.
plain='text engine wire settings records session'

declare -A allowed
folders=()
while read -r folder rest; do
    [ -n "$folder" ] || continue
    allowed[$folder]=" $rest "
    folders+=("$folder")
done <<<"$table"

# The folder of the table a path lies in (the longest that matches), or "".
layer_of() {
    local best="" f
    for f in "${folders[@]}"; do
        if [[ $1 == "$f"/* && ${#f} -gt ${#best} ]]; then best=$f; fi
    done
    echo "$best"
}

broken=0
report() {
    echo "check-layers: $*"
    broken=1
}
while IFS= read -r file; do
    from=$(layer_of "$file")
    if [ -z "$from" ]; then
        report "$file: not in a folder of the layer table"
        continue
    fi
    while IFS=: read -r line include; do
        if [[ $include =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            target=${BASH_REMATCH[1]}
            to=$(layer_of "$target")
            if [ -z "$to" ] || [ ! -f "$target" ]; then
                report "$file:$line: \"$target\" is not a path from the source root"
            elif [[ ${allowed[$from]} != *" $to "* ]]; then
                report "$file:$line: $from/ may not include $to/ (\"$target\")"
            fi
        elif [[ $include =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Q[A-Za-z]*)[/\>] ]] &&
            [[ " $plain " == *" $from "* ]]; then
            report "$file:$line: $from/ is plain C++ and may not include <${BASH_REMATCH[1]}>"
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(git ls-files -- '*.cpp' '*.h')

[ "$broken" = 0 ] && echo "check-layers: every include points down"
exit "$broken"
