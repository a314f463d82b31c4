#!/usr/bin/env bash
# Builds the Debian package: the program installed under /usr with its menu
# entry, icons, metainfo and firewall profiles, and the engine tool; their
# library dependencies found by dpkg-shlibdeps. Only these two programs are
# built, in a build folder of their own.
# Usage: scripts/package.sh [build directory]   (default build-package)
# Prints the path of the .deb; install it with `apt install ./<file>.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
bash scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DKESTREL_WERROR=ON -DKESTREL_BENCHMARKS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" --target corvidae kestrel-engine -j"$(nproc)"
rm -f "$build"/kestrelbay_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$(realpath "$build")"/kestrelbay_*.deb
