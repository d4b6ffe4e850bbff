#!/usr/bin/env bash
# Configures and builds Tarvo. Usage: scripts/build.sh [BUILD_DIR] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
# A compiler cache, when installed, lets the package build reuse this build's objects.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
