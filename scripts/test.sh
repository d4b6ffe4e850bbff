#!/usr/bin/env bash
# Installs what is needed, builds Tarvo and runs every test through CTest.
# With --sanitize the build is Debug with AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
"$(pwd)/scripts/deps.sh" --tests
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON
else
    dir=build
    scripts/build.sh "$dir"
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure --timeout 900 -j "$(nproc)"
