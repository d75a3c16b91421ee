#!/usr/bin/env bash
# Renders every widget of the kit in its states into one PNG (default docs/widgets.png), under Xvfb.
# Usage: bash scripts/render-widget-sheet.sh [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs/widgets.png}")
mkdir -p "$(dirname "$out")"
bash scripts/render-with-tool.sh BrindlexWidgetSheet "$out"
