#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Brindlex needs.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    juce-modules-source juce-tools
    libasound2-dev libjack-jackd2-dev libfreetype-dev libfontconfig1-dev
    libx11-dev libxcomposite-dev libxcursor-dev libxext-dev libxinerama-dev libxrandr-dev libxrender-dev
    libcurl4-openssl-dev libpng-dev libjpeg-dev lv2-dev ladspa-sdk
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-font-awesome xvfb xauth python3
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
