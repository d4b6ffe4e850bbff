#!/usr/bin/env bash
# Configures and builds Tarvo. Usage: scripts/build.sh [BUILD_DIR] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
