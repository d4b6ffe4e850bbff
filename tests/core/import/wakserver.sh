#!/usr/bin/env bash
# Starts and stops the throw-away PostgreSQL cluster that stands in for the
# WAK INTRA server in the tests: a temporary folder, reached only through a
# unix socket in that folder, with the template database "wak" holding the
# table pol_mj and the set-returning function DoklSkl_Pre.
#
#   wakserver.sh start STATEFILE   writes the socket folder into STATEFILE
#   wakserver.sh stop STATEFILE    stops the cluster and removes its folder
set -euo pipefail
action="$1"
state="$2"
here="$(cd "$(dirname "$0")" && pwd)"
pgbin="${TARVO_PGBIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}"
port=5432

# PostgreSQL refuses to run as root; then the cluster belongs to "postgres".
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

stop_cluster() {
    local dir="$1"
    if [ -d "$dir/data" ]; then
        as_owner "$pgbin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
}

case "$action" in
start)
    if [ -f "$state" ]; then
        stop_cluster "$(cat "$state")"
        rm -f "$state"
    fi
    dir="$(mktemp -d /tmp/tarvo-wak.XXXXXX)"
    chmod 755 "$dir"
    if [ "$(id -u)" -eq 0 ]; then chown postgres "$dir"; fi
    as_owner "$pgbin/initdb" -D "$dir/data" -U wak --auth=trust -E UTF8 --locale=C.UTF-8 \
        --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    as_owner "$pgbin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
        -o "-k $dir -p $port -c listen_addresses= -c fsync=off -c max_connections=200" start \
        >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    "$pgbin/psql" -h "$dir" -p "$port" -U wak -d postgres -v ON_ERROR_STOP=1 -q \
        -c "CREATE DATABASE wak" >/dev/null
    "$pgbin/psql" -h "$dir" -p "$port" -U wak -d wak -v ON_ERROR_STOP=1 -q \
        -f "$here/wakserver.sql" >/dev/null
    mkdir -p "$(dirname "$state")"
    echo "$dir" >"$state"
    ;;
stop)
    if [ -f "$state" ]; then
        stop_cluster "$(cat "$state")"
        rm -f "$state"
    fi
    ;;
*)
    echo "usage: $0 start|stop STATEFILE" >&2
    exit 2
    ;;
esac
