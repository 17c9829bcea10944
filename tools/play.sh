#!/bin/bash
# Installs what is missing, builds an optimised game, installs it (by default under /usr/local: the tarvo
# command, a menu entry, the man page) and starts it. The game keeps its settings and scores in the
# player's own folder, ~/.local/share/tarvo.
# Usage: tools/play.sh [PREFIX]   (tools/play.sh ~/.local installs for the current user alone)
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(realpath -m "${1:-/usr/local}")
bash tools/install-deps.sh build
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=OFF -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF >/dev/null
cmake --build build-release -j"$(nproc)"
sudo_cmd=()
mkdir -p "$prefix" 2>/dev/null || true
if [ ! -w "$prefix" ]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" cmake --install build-release --prefix "$prefix" >/dev/null
echo "Installed under $prefix; start it again from the menu (Games) or with $prefix/bin/tarvo"
exec "$prefix/bin/tarvo"
