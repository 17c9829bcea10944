#!/bin/bash
# Installs, from Debian 12 packages, whatever the machine lacks of the named sets:
#   build    compilers and libraries, enough to build and play the game
#   test     the test suite's tools: GoogleTest and libpng, headless X, formatting, a compiler cache, the
#            checks of the installed files
#   content  the content generators in content/ (Python 3 with Pillow and numpy, sox, oggenc)
# Usage: tools/install-deps.sh [build] [test] [content]   (default: build test)
# Safe to run again: it asks apt only for packages that are not installed yet.
set -euo pipefail

build=(
    build-essential cmake pkg-config
    libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri
)
test=(
    libgtest-dev libpng-dev
    xvfb xauth xdotool x11-apps imagemagick
    clang-format ccache
    clang libclang-rt-14-dev
    desktop-file-utils appstream-util
)
content=(python3-pil python3-numpy sox libsox-fmt-all vorbis-tools)

packages=()
[ $# -gt 0 ] || set -- build test
for set in "$@"; do
    case "$set" in
        build) packages+=("${build[@]}") ;;
        test) packages+=("${test[@]}") ;;
        content) packages+=("${content[@]}") ;;
        *) echo "unknown set: $set (build, test or content)" >&2; exit 2 ;;
    esac
done

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
