#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine and uses the
# installed programs as a person would: tarvo-cli makes a data folder and
# reports on it, tarvo opens its window on a virtual display and is ended
# through its menu. Then the desktop entry and the AppStream metadata are
# validated and the package is removed again. Every step logs one line
# "check-package: ..."; the first failing step stops the script.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
"$(pwd)/scripts/deps.sh"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
log() { echo "check-package: $*"; }
fail() {
    log "FAILED: $*"
    exit 1
}

work="$(mktemp -d)"
xvfb_pid=""
tarvo_pid=""
cleanup() {
    if [ -n "$tarvo_pid" ]; then kill "$tarvo_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    if dpkg -s tarvo >/dev/null 2>&1; then $SUDO apt-get remove -y -qq tarvo >/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

deb="$(scripts/package.sh build-pkg | tail -n 1)"
version="$(dpkg-deb -f "$deb" Version)"
log "built $(basename "$deb") ($(du -k "$deb" | cut -f1) kB)"
log "depends: $(dpkg-deb -f "$deb" Depends)"
log "recommends: $(dpkg-deb -f "$deb" Recommends)"

# A package left by an earlier run would make apt keep the old files.
if dpkg -s tarvo >/dev/null 2>&1; then $SUDO apt-get remove -y -qq tarvo >/dev/null; fi
$SUDO apt-get install -y -qq "$deb" >/dev/null
log "installed $(dpkg-query -W -f '${Package} ${Version} ${Status}' tarvo)"

[ "$(command -v tarvo-cli)" = /usr/bin/tarvo-cli ] || fail "tarvo-cli is not /usr/bin/tarvo-cli"
[ "$(/usr/bin/tarvo-cli --version)" = "tarvo-cli $version" ] || fail "tarvo-cli --version"
# The GUI program answers without a display.
[ "$(env -u DISPLAY QT_QPA_PLATFORM=xcb /usr/bin/tarvo --version)" = "tarvo $version" ] ||
    fail "tarvo --version"
log "versions: $(/usr/bin/tarvo-cli --version), $(/usr/bin/tarvo --version)"

data="$(mktemp -d -p "$work")/d"
/usr/bin/tarvo-cli --data-dir "$data" init | sed 's/^/check-package: init: /'
/usr/bin/tarvo-cli --data-dir "$data" info | sed 's/^/check-package: info: /'
[ -f "$data/Tarvo.mdb" ] || fail "init made no database"

# The installed templates serve a data folder that has none of its own.
template="$(ls /usr/share/tarvo/vykaz*_1.tpl | head -n 1)"
year="$(basename "$template" | sed 's/^vykaz\([0-9]*\)_1\.tpl$/\1/')"
rm -f "$data"/vykaz*.tpl
report="$(/usr/bin/tarvo-cli --data-dir "$data" report --year "$year" --quarter 1 2>"$work/report.err")" ||
    fail "report from the installed template $template: $(cat "$work/report.err")"
[ -f "$report" ] || fail "report from the installed template $template: no workbook"
log "report from $template: $report"

# The program's window on a virtual display. Its own TMPDIR gives it its own
# single-instance name, so a Tarvo already running for this user is not the
# one that answers.
mkdir -m 700 "$work/tmp" "$work/run" "$work/home"
start_xvfb "$work"
TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/run" HOME="$work/home" \
    /usr/bin/tarvo --data-dir "$work/gui" >"$work/tarvo.log" 2>&1 &
tarvo_pid=$!
window="$(timeout 60 xdotool search --sync --onlyvisible --name '^Tarvo$' | head -n 1)" ||
    fail "no window titled Tarvo within 60 s"
xdotool search --classname '^tarvo$' | grep -qx "$window" ||
    fail "the window's class is not the desktop entry's StartupWMClass"
log "window $window \"$(xdotool getwindowname "$window")\" is up"
# Soubor (the first menu) -> Konec.
xdotool mousemove --window "$window" 20 8 click 1
sleep 1
xdotool key k
status=0
timeout 30 tail --pid="$tarvo_pid" -f /dev/null || fail "tarvo did not end within 30 s"
wait "$tarvo_pid" || status=$?
tarvo_pid=""
[ "$status" -eq 0 ] || fail "tarvo ended with status $status: $(cat "$work/tarvo.log")"
[ -f "$work/gui/Tarvo.mdb" ] || fail "tarvo made no data folder"
# The options are written back when the program ends as it should.
[ -f "$work/gui/tarvo.ini" ] || fail "tarvo ended without writing tarvo.ini"
log "tarvo ended through Soubor > Konec with status 0 and wrote tarvo.ini"

desktop-file-validate /usr/share/applications/cz.kolmara.Tarvo.desktop
log "desktop-file-validate: ok"
# --no-net: the validator would download the homepage and the screenshots.
appstreamcli validate --no-net /usr/share/metainfo/cz.kolmara.Tarvo.metainfo.xml |
    sed -n 's/^\(..*\)$/check-package: appstreamcli: \1/p'
[ -f /usr/share/icons/hicolor/scalable/apps/cz.kolmara.Tarvo.svg ] || fail "no icon"

$SUDO apt-get remove -y -qq tarvo >/dev/null
[ ! -e /usr/bin/tarvo ] && [ ! -e /usr/share/tarvo ] || fail "files left after removal"
log "removed; all checks passed"
