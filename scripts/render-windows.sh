#!/usr/bin/env bash
# Renders the settings window (docs/settings.png) and the about overlay over the editor (docs/about.png), under Xvfb.
# Usage: bash scripts/render-windows.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs}")
build=${BRINDLEX_BUILD_DIR:-build}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --parallel "$(nproc)" --target BrindlexWindowShots
tool=$(find "$build" -name BrindlexWindowShots -type f -perm -u+x | head -n 1)

xvfb-run -a -s "-screen 0 1920x1080x24" "$tool" "$out"
