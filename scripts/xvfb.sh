# Sourced by the installation checks. start_xvfb FOLDER starts Xvfb on a free
# display, with the display number and the server's log in FOLDER, and exports
# DISPLAY; the server's pid is left in xvfb_pid for the caller's cleanup. The
# caller's fail reports a server that does not come up.
start_xvfb() {
    exec 3>"$1/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$1/xvfb.log" 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 100); do
        [ -s "$1/display" ] && break
        sleep 0.1
    done
    [ -s "$1/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$1/display")"
}
