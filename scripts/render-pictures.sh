#!/usr/bin/env bash
# Renders the README's editor pictures under Xvfb: docs/editor.png (the init preset loaded) and
# docs/preset-menu.png (the preset browser open over a small folder tree).
# Usage: bash scripts/render-pictures.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs}")
build=${BRINDLEX_BUILD_DIR:-build}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --parallel "$(nproc)" --target BrindlexPictures
tool=$(find "$build" -name BrindlexPictures -type f -perm -u+x | head -n 1)

xvfb-run -a -s "-screen 0 1920x1080x24" "$tool" resources/presets/Factory "$out"
