#!/usr/bin/env bash
# Runs the driver's menu scenario under Wine on a virtual screen the size of a
# VGA handheld, and takes a screenshot of the open popup menu with ImageMagick.
# Usage: menu_end_to_end.sh PREFIX DRIVER SCREENSHOT
set -euo pipefail
prefix=$1 driver=$2 screenshot=$3
signals=$(mktemp -d)
trap 'rm -rf "$signals"' EXIT

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 480x640x24" "$0" "$@"
fi

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 120 wine "$driver" menu "$(winepath -w "$signals")" &
driver_pid=$!

for _ in $(seq 1 600); do
    [ -e "$signals/menu-open" ] && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -e "$signals/menu-open" ]; then
    sleep 0.5 # let the menu finish drawing
    import -window root "$screenshot"
    echo "screenshot: $screenshot"
    touch "$signals/screenshot-taken"
fi
wait "$driver_pid"
