#!/usr/bin/env bash
# Installs what is needed, builds the service only, and starts it (arguments go to the service,
# e.g. --port 8080 --data ./server-data).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${INKWREN_BUILD:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target inkwren-server -j"$(nproc)"
exec "$build/server/inkwren-server" "$@"
