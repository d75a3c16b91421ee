#!/usr/bin/env bash
# Renders the editor with its news menu open (items from a server on the loopback address) into one PNG
# (default docs/news-menu.png), under Xvfb.
# Usage: bash scripts/render-news-menu.sh [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs/news-menu.png}")
build=${BRINDLEX_BUILD_DIR:-build}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --parallel "$(nproc)" --target BrindlexNewsScreenshot
tool=$(find "$build" -name BrindlexNewsScreenshot -type f -perm -u+x | head -n 1)

mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1920x1080x24" "$tool" "$out"
