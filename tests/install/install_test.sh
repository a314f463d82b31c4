#!/bin/bash
# The program as `cmake --install` lays it out for a desktop: the executable and
# its sound module, a valid menu entry that starts it, the icon at every size of the hicolor
# theme (the scalable one the same picture as the 256-pixel one) and a valid
# metainfo file. Installs into a temporary folder, removed on exit.
set -u

BUILD=${1:?usage: install_test.sh <build directory>}
for tool in desktop-file-validate appstreamcli rsvg-convert compare identify; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (bash scripts/setup.sh)"; exit 77; }
done
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
ROOT=$WORK/root
FAILURES=0
fail() {
    echo "FAIL: $*"
    FAILURES=$((FAILURES + 1))
}

DESTDIR=$ROOT cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 ||
    { cat "$WORK/install.log"; echo "FAIL: cmake --install"; exit 1; }
ID=jp.example.kestrelbay
DESKTOP=$ROOT/usr/share/applications/$ID.desktop
METAINFO=$ROOT/usr/share/metainfo/$ID.metainfo.xml
ICONS=$ROOT/usr/share/icons/hicolor

# The menu entry: valid, in the board games, named in Japanese and English,
# and its command is the installed program.
[ -f "$DESKTOP" ] || { echo "FAIL: no $DESKTOP"; exit 1; }
desktop-file-validate "$DESKTOP" || fail "desktop-file-validate"
key() { sed -n "s/^$1=//p" "$DESKTOP"; }
[ "$(key Categories)" = "Game;BoardGame;" ] || fail "Categories: $(key Categories)"
[ "$(key 'Name\[ja\]')" = "ケストレルベイ" ] || fail "Name[ja]: $(key 'Name\[ja\]')"
[ -n "$(key Name)" ] && [ -n "$(key Comment)" ] && [ -n "$(key 'Comment\[ja\]')" ] || fail "a name or comment is missing"
command=$(key Exec | cut -d' ' -f1)
[ -x "$ROOT/usr/bin/$command" ] || fail "Exec=$(key Exec) is not an installed program"
[ "$(key Icon)" = "$ID" ] || fail "Icon=$(key Icon)"

# The sound module, where the program looks for it beside itself (the path
# from the program's folder is compiled in), with all its libraries.
module_dir=$(strings -a -e l "$ROOT/usr/bin/corvidae" | grep -m 1 -x '\.\./[a-z0-9_/-]*/kestrelbay/')
module=$ROOT/usr/bin/$module_dir/kestrelbay-sound.so
[ -f "$module" ] || fail "no sound module at usr/bin/$module_dir"
! ldd "$module" | grep -q 'not found' || fail "the sound module misses libraries"

# The icon at each size, and the scalable one drawing the same picture.
for size in 16 22 24 32 48 64 128 256; do
    png=$ICONS/${size}x$size/apps/$ID.png
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x$size" ] || fail "no ${size}x$size icon"
done
svg=$ICONS/scalable/apps/$ID.svg
rsvg-convert -w 256 -h 256 "$svg" -o "$WORK/svg.png" || fail "the scalable icon does not render"
differing=$(compare -metric AE -fuzz 10% "$WORK/svg.png" "$ICONS/256x256/apps/$ID.png" null: 2>&1)
[ "${differing%%.*}" -le 655 ] 2>/dev/null ||
    fail "the scalable icon differs from the 256-pixel one in $differing of 65536 pixels"

# The metainfo: valid on its own and together with the entry and icons it names.
appstreamcli validate --no-net --pedantic "$METAINFO" || fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$ROOT" || fail "appstreamcli validate-tree"
grep -q "<launchable type=\"desktop-id\">$ID.desktop</launchable>" "$METAINFO" || fail "launchable"

[ "$FAILURES" = 0 ] && echo "PASS" || exit 1
