#!/usr/bin/env bash
# Renders every widget of the kit in its states into one PNG (default docs/widgets.png), under Xvfb.
# Usage: bash scripts/render-widget-sheet.sh [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs/widgets.png}")
build=${BRINDLEX_BUILD_DIR:-build}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --parallel "$(nproc)" --target BrindlexWidgetSheet
tool=$(find "$build" -name BrindlexWidgetSheet -type f -perm -u+x | head -n 1)

mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1920x1080x24" "$tool" "$out"
