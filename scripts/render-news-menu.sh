#!/usr/bin/env bash
# Renders the editor with its news menu open (the factory presets loaded, items from a server on the loopback
# address) into one PNG (default docs/news-menu.png), under Xvfb.
# Usage: bash scripts/render-news-menu.sh [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs/news-menu.png}")
mkdir -p "$(dirname "$out")"
bash scripts/render-with-tool.sh BrindlexNewsScreenshot resources/presets/Factory "$out"
