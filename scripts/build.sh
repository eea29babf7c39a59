#!/usr/bin/env bash
# Installs what InkWren needs, then configures and builds it into build/ (or $INKWREN_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${INKWREN_BUILD:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
