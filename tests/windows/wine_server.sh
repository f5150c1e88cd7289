#!/usr/bin/env bash
# The Wine server of the suites' prefix, held up for a whole test run by one program that
# waits (wine_server_holder.exe): wine_server.sh start|stop PREFIX HOLDER FLAG
# start makes the prefix if needed and starts the holder, which runs while FLAG exists; stop
# removes FLAG and waits until the holder and the server have ended.
set -uo pipefail
[ $# -eq 4 ] || { echo "usage: wine_server.sh start|stop PREFIX HOLDER FLAG" >&2; exit 2; }
action=$1 prefix=$2 holder=$3 flag=$4
wine_run=$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-run
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

case $action in
start)
    # A holder left by an interrupted run is ended first.
    rm -f "$flag" "$flag.up"
    if [ -f "$flag.pid" ]; then
        WINEPREFIX=$prefix "$wineserver" -w
        rm -f "$flag.pid"
    fi
    "$wine_run" "$prefix" cmd /c exit 0 >/dev/null 2>&1 || { echo "Wine does not start" >&2; exit 1; }
    touch "$flag"
    setsid "$wine_run" "$prefix" "$holder" "$(windows_path "$flag")" </dev/null >/dev/null 2>&1 &
    echo $! >"$flag.pid"
    # Up when the holder has made FLAG.up.
    for _ in $(seq 200); do
        [ -f "$flag.up" ] && exit 0
        kill -0 "$(cat "$flag.pid")" 2>/dev/null || break
        sleep 0.1
    done
    echo "the holder of the Wine server did not start" >&2
    exit 1
    ;;
stop)
    rm -f "$flag" "$flag.up"
    if [ -f "$flag.pid" ]; then
        pid=$(cat "$flag.pid")
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        rm -f "$flag.pid"
    fi
    # The server ends with its last program; the next run starts a new one.
    WINEPREFIX=$prefix "$wineserver" -w
    ;;
*)
    echo "usage: wine_server.sh start|stop PREFIX HOLDER FLAG" >&2
    exit 2
    ;;
esac
