#!/usr/bin/env bash
# Builds the Debian package of Tarvo (Release, without tests) in build-pkg/ or
# the folder given, and prints the path of the .deb. ccache is used when it is
# installed. Usage: scripts/package.sh [BUILD_DIR] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-pkg}"
shift || true
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON \
    -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=OFF "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
rm -f "$dir"/tarvo_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$(pwd)/$dir"/tarvo_*.deb
