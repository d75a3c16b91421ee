#!/usr/bin/env bash
# Builds Brindlex, installs the VST3 and LV2 into the user's plug-in folders and starts the standalone app.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${BRINDLEX_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRINDLEX_BUILD_TESTS=OFF -DBRINDLEX_BUILD_BENCHMARKS=OFF
cmake --build "$build" --parallel "$(nproc)" --target Brindlex_VST3 Brindlex_LV2 Brindlex_Standalone

artefacts="$build/Brindlex_artefacts/Release"
mkdir -p "$HOME/.vst3" "$HOME/.lv2"
rm -rf "$HOME/.vst3/Brindlex.vst3" "$HOME/.lv2/Brindlex.lv2"
cp -r "$artefacts/VST3/Brindlex.vst3" "$HOME/.vst3/"
cp -r "$artefacts/LV2/Brindlex.lv2" "$HOME/.lv2/"
echo "VST3 installed in $HOME/.vst3/Brindlex.vst3"
echo "LV2 installed in $HOME/.lv2/Brindlex.lv2"

if [ -x scripts/install-presets.sh ]; then
    bash scripts/install-presets.sh "$build"
fi

echo "Standalone app: $artefacts/Standalone/Brindlex"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$artefacts/Standalone/Brindlex"
else
    echo "No display found: start it later with $artefacts/Standalone/Brindlex"
fi
