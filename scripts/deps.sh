#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tarvo need.
# With --tests also LibreOffice Calc, whose saved workbooks the tests read
# back (those tests skip themselves where it is missing).
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
    cmake ninja-build g++ pkg-config \
    libsqlite3-dev sqlite3 libicu-dev \
    libzip-dev libpugixml-dev \
    unixodbc unixodbc-dev tdsodbc odbc-postgresql postgresql \
    libgtest-dev \
    qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-translations-l10n libgl1-mesa-dev \
    xvfb xauth python3 \
    dpkg-dev file desktop-file-utils appstream xdotool >/dev/null
if [ "${1:-}" = "--tests" ]; then
    $SUDO apt-get install -y -qq --no-install-recommends libreoffice-calc-nogui >/dev/null
fi
