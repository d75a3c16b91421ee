#!/usr/bin/env bash
# Builds Brindlex with its tests and benchmarks and runs the whole test suite (under Xvfb for the editor tests).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${BRINDLEX_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" --parallel "$(nproc)"

cd "$build"
xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure --parallel "$(nproc)" --timeout 900
