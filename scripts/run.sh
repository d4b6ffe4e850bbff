#!/usr/bin/env bash
# Installs what is needed, builds Tarvo and starts the program on the default
# data folder (a new folder is made with an empty database). Arguments go to
# the program, for example --data-dir DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
"$(pwd)/scripts/deps.sh"
scripts/build.sh build
exec build/src/app/tarvo "$@"
