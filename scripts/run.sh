#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
build=${INKWREN_BUILD:-build}
# Qt WebEngine refuses its sandbox when run as root.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:-} --no-sandbox"; fi
exec "$build/inkwren" "$@"
