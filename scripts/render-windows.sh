#!/usr/bin/env bash
# Renders the settings window (docs/settings.png) and the about overlay over the editor (docs/about.png), under Xvfb.
# Usage: bash scripts/render-windows.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs}")
bash scripts/render-with-tool.sh BrindlexWindowShots "$out"
