#!/usr/bin/env bash
# Cross-builds Tarvo for Windows and runs the whole test suite under Wine: the core's tests and the
# window tests (offscreen platform), each test program started by CTest through wine-run.
set -euo pipefail
source "$(dirname "$0")/common.sh"
"$REPO/scripts/windows/build.sh"

export WINEPREFIX=$REPO/build-win/wineprefix
# Wine's helper processes (services.exe, explorer.exe …) inherit the output pipe of whichever
# program starts them first, and CTest waits for every holder of a test's pipe to close it: a few
# seconds per test, or forever. Started here with no inherited pipes, they serve every test.
wineserver -k >/dev/null 2>&1 || true
DISPLAY= wineserver -p </dev/null >/dev/null 2>&1
DISPLAY= "$REPO/scripts/windows/wine-run" cmd /c exit </dev/null >/dev/null 2>&1
status=0
DISPLAY= QT_QPA_PLATFORM=offscreen ctest --test-dir "$REPO/build-win" --output-on-failure \
  --timeout 900 -j "$(nproc)" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit "$status"
