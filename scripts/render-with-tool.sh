#!/usr/bin/env bash
# Builds one of the picture tools of tools/ and runs it under Xvfb with the remaining arguments; the
# render-*.sh scripts call it. BRINDLEX_BUILD_DIR names the build folder (default build).
# Usage: bash scripts/render-with-tool.sh <tool target> [arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

target=$1
shift
build=${BRINDLEX_BUILD_DIR:-build}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --parallel "$(nproc)" --target "$target"
tool=$(find "$build" -name "$target" -type f -perm -u+x | head -n 1)

xvfb-run -a -s "-screen 0 1920x1080x24" "$tool" "$@"
