#!/usr/bin/env bash
# Makes a fresh Wine prefix (create) or shuts down its wine server (stop).
# Usage: wine-prefix.sh create|stop PREFIX
set -euo pipefail
action=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

case $action in
create)
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    timeout 180 wineboot -i >/dev/null 2>&1
    timeout 60 wineserver -w
    ;;
stop)
    wineserver -k 2>/dev/null || true
    ;;
*)
    echo "usage: $0 create|stop PREFIX" >&2
    exit 2
    ;;
esac
