#!/usr/bin/env bash
# Installs the Windows installer silently into a fresh Wine prefix and uses the installed programs
# as a person would: tarvo-cli makes a data folder in a folder named with Czech letters and writes
# a statement from the installed template, tarvo opens its window on a virtual display and is
# asked to close like any Windows program. Then the uninstaller removes the program and leaves the
# data. Every step logs one line "check-installer: ..."; the first failing step stops the script.
#   scripts/windows/check-installer.sh [--screenshot FILE.png]
set -euo pipefail
source "$(dirname "$0")/common.sh"
source "$REPO/scripts/xvfb.sh"
B=$REPO/build-win
log() { echo "check-installer: $*"; }
fail() {
  log "FAILED: $*"
  exit 1
}
shot=""
if [ "${1:-}" = --screenshot ]; then shot=$(realpath "$2"); fi

setup=$(ls "$B"/tarvo-*-setup.exe | head -1)
version=$(basename "$setup" | sed 's/^tarvo-\(.*\)-setup\.exe$/\1/')
export WINEPREFIX=$B/wineprefix-install
work=$B/check-installer
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
wineserver -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX" "$work"
mkdir -p "$work"
run() { "$REPO/scripts/windows/wine-run" "$@"; }

start_xvfb "$work"
wineboot -i >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1 || true

log "installing $(basename "$setup") ($(du -k "$setup" | cut -f1) kB) with /S"
run "$setup" /S </dev/null >/dev/null 2>&1 || fail "the installer ended with status $?"
wineserver -w
prog="$WINEPREFIX/drive_c/Program Files/Tarvo"
cli=$(find "$prog" -name tarvo-cli.exe | head -1)
[ -n "$cli" ] || fail "no tarvo-cli.exe under C:\\Program Files\\Tarvo"
gui=$(dirname "$cli")/tarvo.exe
[ -f "$gui" ] || fail "no tarvo.exe beside tarvo-cli.exe"
[ -f "$prog/Odinstalovat.exe" ] || fail "no uninstaller"
find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Tarvo.lnk' | grep -q . || fail "no Start-menu entry"
log "installed into C:\\Program Files\\Tarvo ($(du -sk "$prog" | cut -f1) kB) with a Start-menu entry"

out=$(run "$cli" --version </dev/null 2>&1 | tr -d '\r')
[ "$out" = "tarvo-cli $version" ] || fail "tarvo-cli --version said: $out"
log "version: $out"

# A data folder under a name with Czech letters, as C:\Users\Jiří\… would be.
data_unix="$WINEPREFIX/drive_c/Účetnictví Jiří/Tarvo"
data='C:\Účetnictví Jiří\Tarvo'
run "$cli" --data-dir "$data" init </dev/null 2>&1 | tr -d '\r' | sed 's/^/check-installer: init: /'
[ -f "$data_unix/Tarvo.mdb" ] || fail "init made no database in $data"
rm -f "$data_unix"/vykaz*.tpl
template=$(find "$prog" -name 'vykaz*_1.tpl' | head -1)
[ -n "$template" ] || fail "no installed template"
year=$(basename "$template" | sed 's/^vykaz\([0-9]*\)_1\.tpl$/\1/')
report=$(run "$cli" --data-dir "$data" report --year "$year" --quarter 1 </dev/null 2>"$work/report.err" | tr -d '\r') ||
  fail "report from the installed template: $(cat "$work/report.err")"
[ -n "$(find "$data_unix" -name '*.xlsx')" ] || fail "report from the installed template: no workbook ($report)"
log "statement from $(basename "$template"): $report"

# The window on the virtual display, closed the way Windows closes a program (WM_CLOSE).
run "$gui" --data-dir 'C:\Okno Tarvo' </dev/null >"$work/tarvo.log" 2>&1 &
gui_pid=$!
window=$(timeout 90 xdotool search --sync --onlyvisible --name '^Tarvo$' | head -n 1) ||
  fail "no window titled Tarvo within 90 s"
log "window $window \"$(xdotool getwindowname "$window")\" is up"
sleep 2
if [ -n "$shot" ]; then import -window root "$shot" && log "screenshot: $shot"; fi
# A second start hands over to the first one and ends; the first one stays.
timeout 60 "$REPO/scripts/windows/wine-run" "$gui" --data-dir 'C:\Okno Tarvo' </dev/null >"$work/second.log" 2>&1 ||
  fail "a second start did not end within 60 s: $(cat "$work/second.log")"
kill -0 "$gui_pid" 2>/dev/null || fail "the first program ended at a second start"
[ "$(xdotool search --onlyvisible --name '^Tarvo$' | wc -l)" -eq 1 ] || fail "a second start opened a second window"
log "a second start ended and left the one window"
run taskkill /IM tarvo.exe </dev/null >/dev/null 2>&1 || true
status=0
timeout 60 tail --pid="$gui_pid" -f /dev/null || fail "tarvo did not end within 60 s"
wait "$gui_pid" || status=$?
[ "$status" -eq 0 ] || fail "tarvo ended with status $status: $(cat "$work/tarvo.log")"
[ -f "$WINEPREFIX/drive_c/Okno Tarvo/tarvo.ini" ] || fail "tarvo ended without writing tarvo.ini"
log "tarvo closed with status 0 and wrote tarvo.ini"

run "$prog/Odinstalovat.exe" /S </dev/null >/dev/null 2>&1 || true
wineserver -w
[ ! -e "$prog" ] || fail "files left after the uninstaller: $(find "$prog" | head -5)"
[ -f "$data_unix/Tarvo.mdb" ] || fail "the uninstaller removed the data"
log "uninstalled, the data stays; all checks passed"
