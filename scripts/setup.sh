#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test the
# game. Safe to run again: packages already present are skipped.
set -euo pipefail

packages=(
    cmake ninja-build g++ ccache pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-translations-l10n libgl-dev
    libgtest-dev googletest libbenchmark-dev
    fonts-ipafont-gothic
    libxcb1-dev
    xvfb xauth imagemagick x11-utils
    desktop-file-utils appstream librsvg2-bin dpkg-dev file
    pulseaudio pulseaudio-utils
    iproute2 iptables
    python3-firewall python3-nftables
    dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    strace
    clang-14 libclang-rt-14-dev clang-format-14
    desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
# The checkers of the firewall profiles, firewall-offline-cmd and ufw, are
# unpacked from Debian's packages into a folder of their own, never
# installed: installing firewalld enables and starts its firewall, and ufw
# enables its service for the next boot. Their Python libraries are above.
checkers=${KESTREL_FIREWALL_CHECKERS:-/usr/local/lib/kestrelbay-checkers}
have_checkers() {
    [ -x "$checkers/usr/bin/firewall-offline-cmd" ] && [ -x "$checkers/usr/sbin/ufw" ]
}
[ ${#missing[@]} -eq 0 ] && have_checkers && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo="sudo"
    else
        echo "setup: installing needs root: ${missing[*]} (and the firewall checkers in $checkers)" >&2
        exit 1
    fi
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
if ! have_checkers; then
    echo "setup: unpacking firewall-offline-cmd and ufw into $checkers"
    debs=$(mktemp -d)
    # As root, apt downloads as its own user.
    if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
        chown _apt "$debs"
    fi
    if ! (cd "$debs" && apt-get download -qq firewalld ufw); then
        $sudo apt-get update -qq
        (cd "$debs" && apt-get download -qq firewalld ufw)
    fi
    for deb in "$debs"/*.deb; do
        $sudo dpkg-deb -x "$deb" "$checkers"
    done
    rm -rf "$debs"
fi
