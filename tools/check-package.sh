#!/usr/bin/env bash
# Proves the Debian package on a fresh Debian 12: bootstraps a minimal
# bookworm root into a temporary folder, installs the package there with
# `apt install ./kestrelbay_*.deb` (dependencies from Debian's mirror), checks
# that nothing the program loads is missing, then starts the menu entry's Exec
# line in that root as an ordinary player under a virtual X server and saves
# a screenshot of the screen.
#
# The program announces itself as soon as it starts, so it runs in a network
# namespace of its own whose only network is a veth cable with both ends
# inside it: nothing it sends leaves the namespace. The X server runs in the
# same namespace and listens on its socket file only.
#
# Needs root, network access to the Debian mirror and a few minutes; not part
# of the test run. Everything made is removed at the end, also on failure
# (KEEP_ROOT=1 keeps the Debian root for a look).
# Usage: tools/check-package.sh [package.deb] [screenshot.png]
#   (default: builds the package with scripts/package.sh; build-package/fresh-debian.png)
set -euo pipefail
cd "$(dirname "$0")/.."
MIRROR=${MIRROR:-http://deb.debian.org/debian}
SECURITY=${SECURITY:-http://deb.debian.org/debian-security}

if [ "$(id -u)" != 0 ]; then
    echo "check-package: debootstrap, chroot and a network namespace need root" >&2
    exit 77
fi
bash scripts/setup.sh
command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
deb=${1:-$(bash scripts/package.sh | tail -n 1)}
deb=$(realpath "$deb")
shot=$(realpath -m "${2:-build-package/fresh-debian.png}")
mkdir -p "$(dirname "$shot")"

id=$$
root=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-debroot-$id-XXXX")
chmod 755 "$root" # the root of a system: its users and apt's own user go through it
ns=kestrel-deb-$id
xsockets=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-x11-$id-XXXX")
chmod 1777 "$xsockets"
cleanup() {
    ip netns pids "$ns" 2>/dev/null | xargs -r kill -9 2>/dev/null || true
    ip netns del "$ns" 2>/dev/null || true
    for m in proc sys dev/pts dev; do umount -l "$root/$m" 2>/dev/null || true; done
    if [ "${KEEP_ROOT:-0}" = 1 ]; then
        echo "check-package: kept the Debian root in $root"
    else
        rm -rf --one-file-system "$root"
    fi
    rm -rf "$xsockets"
}
trap cleanup EXIT

step() { echo "== $*"; }

step "bootstrapping Debian 12 (bookworm, minbase) into $root"
debootstrap --variant=minbase bookworm "$root" "$MIRROR" >"$root.debootstrap.log" 2>&1 ||
    { tail -n 20 "$root.debootstrap.log"; exit 1; }
rm -f "$root.debootstrap.log"
cat >"$root/etc/apt/sources.list" <<SOURCES
deb $MIRROR bookworm main
deb $MIRROR bookworm-updates main
deb $SECURITY bookworm-security main
SOURCES
cp /etc/resolv.conf "$root/etc/resolv.conf"

# Package installation in the root, with the kernel file systems it expects.
in_root() {
    unshare --mount --propagation private bash -c '
        root=$1; shift
        mount -t proc proc "$root/proc"
        mount --rbind /dev "$root/dev"
        exec chroot "$root" "$@"' _ "$root" "$@"
}

step "apt install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
in_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt install -y "./tmp/$(basename "$deb")" >"$root/tmp/apt.log" 2>&1 ||
    { tail -n 30 "$root/tmp/apt.log"; echo "check-package: apt install failed"; exit 1; }
echo "$(grep -c '^Setting up' "$root/tmp/apt.log") packages set up, among them:"
grep -E '^Setting up (kestrelbay|fonts-ipafont-gothic|libqt6gui6|qt6-translations-l10n)' "$root/tmp/apt.log"

step "libraries of the program, its sound module and Qt's X11 plugin"
missing=$(in_root sh -c 'ldd /usr/bin/corvidae /usr/lib/x86_64-linux-gnu/kestrelbay/kestrelbay-sound.so \
    /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so' |
    grep 'not found' || true)
[ -z "$missing" ] || { echo "check-package: missing libraries:"; echo "$missing"; exit 1; }

step "the firewall profiles where firewalld and ufw read them, the ufw one a conffile"
cmp resources/firewall/kestrelbay.xml "$root/usr/lib/firewalld/services/kestrelbay.xml" ||
    { echo "check-package: no firewalld service in /usr/lib/firewalld/services"; exit 1; }
cmp resources/firewall/kestrelbay.ufw "$root/etc/ufw/applications.d/kestrelbay" ||
    { echo "check-package: no ufw profile in /etc/ufw/applications.d"; exit 1; }
conffiles=$(in_root dpkg-query -W -f='${Conffiles}\n' kestrelbay)
grep -q '^ /etc/ufw/applications.d/kestrelbay ' <<<"$conffiles" ||
    { echo "check-package: the ufw profile is no conffile: $conffiles"; exit 1; }

desktop=$root/usr/share/applications/jp.example.kestrelbay.desktop
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | sed 's/ %[fFuUdDnNickvm]//g')
step "starting the menu entry's command '$exec_line' as a player, in network namespace $ns"
in_root useradd --create-home --shell /bin/sh hanako

ip netns add "$ns"
ip -n "$ns" link set lo up
ip -n "$ns" link add lan0 type veth peer name lan1
ip -n "$ns" addr add 10.79.0.1/24 broadcast + dev lan0
ip -n "$ns" link set lan0 up
ip -n "$ns" link set lan1 up

# One shell in the namespace with private mounts: the X server of the host on
# a display it picks itself, its socket folder shown inside the root, the
# program started there from the menu entry's line, then the screenshot.
status=0
ip netns exec "$ns" unshare --mount --propagation private bash -s -- \
    "$root" "$xsockets" "$exec_line" "$shot" <<'RUN' || status=$?
set -eu
root=$1 xsockets=$2 exec_line=$3 shot=$4
# Only this X server's socket shows in /tmp/.X11-unix here; its lock file
# in the shared /tmp keeps its display number apart from other servers'.
mkdir -p /tmp/.X11-unix
mount --bind "$xsockets" /tmp/.X11-unix
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 640x440x24 -dpi 96 3>"$xsockets/display" >/dev/null 2>&1 &
xvfb=$!
display=""
for _ in $(seq 100); do
    display=$(cat "$xsockets/display" 2>/dev/null)
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || { echo "no X server"; exit 1; }
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mkdir -p "$root/tmp/.X11-unix"
mount --bind "$xsockets" "$root/tmp/.X11-unix"
chroot --userspec=hanako:hanako "$root" /usr/bin/env -i HOME=/home/hanako USER=hanako LOGNAME=hanako \
    PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 DISPLAY=":$display" QT_QPA_PLATFORM=xcb \
    sh -c "cd /home/hanako && exec $exec_line" >"$root/tmp/program.log" 2>&1 &
program=$!
sleep 5
kill -0 "$program" 2>/dev/null || { echo "the program ended at start:"; cat "$root/tmp/program.log"; exit 1; }
echo "running: $(readlink "/proc/$program/exe")"
DISPLAY=":$display" import -window root "$shot"
kill -TERM "$program"
wait "$program" || { echo "the program ended with $?"; exit 1; }
echo "the program ended with 0 on SIGTERM"
kill "$xvfb"
RUN
[ "$status" = 0 ] || { echo "check-package: the program did not start and end as expected"; exit 1; }

# The window is on the screen: the board's grey cells cover a good part of it.
grey=$(convert "$shot" -fill black +opaque 'rgb(192,192,192)' -fill white -opaque 'rgb(192,192,192)' \
    -format '%[fx:round(mean*w*h)]' info:)
[ "$grey" -gt 40000 ] || { echo "check-package: no board on the screen ($grey grey pixels)"; exit 1; }
echo "check-package: installed on a fresh Debian 12 and started from its menu entry; screenshot $shot"
