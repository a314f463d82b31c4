#!/bin/bash
# The program as `cmake --install` lays it out for a desktop: the executable and
# its sound module, a valid menu entry that starts it, the icon at every size of the hicolor
# theme (the scalable one the same picture as the 256-pixel one), a valid
# metainfo file, the engine tool, and the firewall profiles for the game's port where
# firewalld and ufw read them, each accepted by the tool's own checker.
# Installs into a temporary folder, removed on exit.
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

# The engine tool beside the program, answering on its pipe.
levels=$("$ROOT/usr/bin/kestrel-engine" --list-levels 2>&1 | wc -l)
[ "$levels" -ge 4 ] || fail "kestrel-engine --list-levels gave $levels lines"

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

# The firewall profiles, read by the checkers of firewalld (from Debian's
# firewalld) and ufw: those unpacked by scripts/setup.sh, else installed ones.
# They need root, and run in a throwaway network and mount namespace on a
# configuration in the temporary folder: no live firewall is read or changed.
SERVICE=$ROOT/usr/lib/firewalld/services/kestrelbay.xml
PROFILE=$ROOT/etc/ufw/applications.d/kestrelbay
[ -f "$SERVICE" ] || fail "no firewalld service at usr/lib/firewalld/services"
[ -f "$PROFILE" ] || fail "no ufw profile at etc/ufw/applications.d"
CHECKERS=${KESTREL_FIREWALL_CHECKERS:-/usr/local/lib/kestrelbay-checkers}
checker() {
    if [ -x "$CHECKERS$1" ]; then
        echo "$CHECKERS$1"
    elif command -v "$(basename "$1")" >/dev/null; then
        realpath "$(command -v "$(basename "$1")")"
    fi
}
FIREWALL_OFFLINE_CMD=$(checker /usr/bin/firewall-offline-cmd)
UFW=$(checker /usr/sbin/ufw)
isolated() { unshare --net --mount "$@" 2>>"$WORK/checkers.log"; }

# firewalld: the service among the default ones of an offline configuration,
# described with its port, added to a zone as a player would, and the whole
# configuration checked.
check_firewalld() {
    local base=${FIREWALL_OFFLINE_CMD%/usr/bin/firewall-offline-cmd}
    cp -r "$base/usr/lib/firewalld" "$WORK/firewalld-lib"
    cp "$SERVICE" "$WORK/firewalld-lib/services/"
    mkdir "$WORK/firewalld-etc"
    cp "$base/etc/firewalld/firewalld.conf" "$WORK/firewalld-etc/"
    offline() {
        isolated "$FIREWALL_OFFLINE_CMD" --default-config "$WORK/firewalld-lib" \
            --system-config "$WORK/firewalld-etc" "$@"
    }
    [[ "$(offline --info-service kestrelbay)" == *$'\n  ports: 20000/udp\n'* ]] ||
        fail "firewall-offline-cmd --info-service kestrelbay"
    offline --zone public --add-service kestrelbay >/dev/null &&
        grep -q '<service name="kestrelbay"/>' "$WORK/firewalld-etc/zones/public.xml" ||
        fail "firewall-offline-cmd --zone public --add-service kestrelbay"
    offline --check-config >/dev/null || fail "firewall-offline-cmd --check-config"
}

# ufw: the installed profiles folder in a ufw configuration of its own;
# `ufw app info` lists only profiles it accepts.
check_ufw() {
    local base=${UFW%/usr/sbin/ufw} data=$WORK/ufw
    mkdir -p "$data/etc/default" "$data/etc/ufw" "$data/lib/ufw"
    cp "$base/etc/default/ufw" "$data/etc/default/"
    cp "$base/usr/share/ufw/ufw.conf" "$base"/usr/share/ufw/iptables/*.rules "$data/etc/ufw/"
    cp -r "$ROOT/etc/ufw/applications.d" "$data/etc/ufw/"
    local info
    info=$(isolated env PYTHONPATH="$base/usr/lib/python3/dist-packages" \
        "$UFW" --rootdir="${base:-/}" --datadir="$data" app info kestrelbay)
    [[ "$info" == "Profile: kestrelbay"$'\n'*$'\nPort:\n  20000/udp' ]] ||
        fail "ufw app info kestrelbay: $info"
}

FIREWALL_SKIPPED=""
if [ "$(id -u)" != 0 ]; then
    FIREWALL_SKIPPED="the firewall checkers need root"
elif [ -z "$FIREWALL_OFFLINE_CMD" ] || [ -z "$UFW" ]; then
    FIREWALL_SKIPPED="firewall-offline-cmd or ufw is missing (bash scripts/setup.sh)"
else
    check_firewalld
    check_ufw
fi

[ "$FAILURES" = 0 ] || { cat "$WORK/checkers.log" 2>/dev/null; exit 1; }
[ -z "$FIREWALL_SKIPPED" ] || { echo "SKIP: $FIREWALL_SKIPPED"; exit 77; }
echo "PASS"
