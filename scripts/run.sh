#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
build=${INKWREN_BUILD:-build}
exec "$build/inkwren" "$@"
