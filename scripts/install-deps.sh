#!/bin/bash
# Installs, from Debian 12 packages, whatever the build and the headless tests need and the machine lacks.
# Safe to run again: it asks apt only for packages that are not installed yet.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri
    libgtest-dev
    xvfb xauth xdotool x11-apps imagemagick
    clang-format
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
