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
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo="sudo"
    else
        echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
        exit 1
    fi
fi
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
