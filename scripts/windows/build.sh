#!/usr/bin/env bash
# Cross-builds tarvo.exe, tarvo-cli.exe and the tests for 64-bit Windows into build-win/.
#   scripts/windows/build.sh [extra CMake arguments, e.g. -DTARVO_BUILD_GUI=OFF]
set -euo pipefail
source "$(dirname "$0")/common.sh"
"$REPO/scripts/windows/sdk.sh"

# Set at configure time too, or CMake's pkg-config finds the native libzip in /usr.
export PKG_CONFIG_LIBDIR=$WINSDK/deps/lib/pkgconfig
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -G Ninja -S "$REPO" -B "$REPO/build-win" -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$WINSDK/qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$REPO/scripts/windows/mingw64.cmake" \
  -DCMAKE_PREFIX_PATH="$WINSDK/deps" -DICU_ROOT="$WINSDK/deps" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$REPO/scripts/windows/wine-run" "${launcher[@]}" "$@"
nice -n 10 cmake --build "$REPO/build-win" --parallel "$(nproc)"
