#!/bin/bash
# Installs what is missing, builds an optimised game and starts it from the repository, where its data lives.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=OFF -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF >/dev/null
cmake --build build-release -j"$(nproc)"
exec build-release/game/main/tarvo
