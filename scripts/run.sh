#!/usr/bin/env bash
# Installs what is needed, builds Tarvo and starts it on the default data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
"$(pwd)/scripts/deps.sh"
scripts/build.sh build
exec build/src/cli/tarvo-cli info "$@"
