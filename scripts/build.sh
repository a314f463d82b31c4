#!/usr/bin/env bash
# Configures and builds everything into build/ (after installing what is missing).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"
