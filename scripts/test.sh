#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test (window tests on a virtual display).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
build=${INKWREN_BUILD:-build}
cd "$build"
xvfb-run -a -s "-screen 0 1280x800x24" ctest --output-on-failure --timeout 300 -j2
