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
# Now and then Wine ends a test program within milliseconds, before its first line of output, on a
# busy machine; the same program passes when started again. The failed tests run once more, on
# their own, and only a test that fails twice fails the run. The first failures stay in the log.
if [ "$status" -ne 0 ]; then
  echo "Failed under Wine, started once more:"
  sed 's/^/  /' "$REPO/build-win/Testing/Temporary/LastTestsFailed.log"
  status=0
  DISPLAY= QT_QPA_PLATFORM=offscreen ctest --test-dir "$REPO/build-win" --output-on-failure \
    --timeout 900 --rerun-failed || status=$?
fi
wineserver -k >/dev/null 2>&1 || true
exit "$status"
