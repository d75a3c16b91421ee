#!/usr/bin/env bash
# Renders the README's editor pictures under Xvfb: docs/editor.png (the init preset loaded) and
# docs/preset-menu.png (the preset browser open over a small folder tree).
# Usage: bash scripts/render-pictures.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs}")
bash scripts/render-with-tool.sh BrindlexPictures resources/presets/Factory "$out"
