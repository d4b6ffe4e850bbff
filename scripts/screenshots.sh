#!/usr/bin/env bash
# Takes the screenshots of docs/ under a virtual X server (Xvfb) and copies
# the ones the help shows into resources/help/, so both stay current.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
cmake --build "$dir" --target tarvo-screenshots
LANG=cs_CZ.UTF-8 LC_ALL=cs_CZ.UTF-8 xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$dir/tools/tarvo-screenshots" "$(pwd)/docs"
for picture in main-window cdlgcover cdlgcompcover; do
    cp "docs/$picture.png" resources/help/
done
