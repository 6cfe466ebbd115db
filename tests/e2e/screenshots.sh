#!/usr/bin/env bash
# Runs a scenario of the driver under Wine on a virtual screen the size of a VGA
# handheld and takes the screenshots it asks for with ImageMagick: the driver
# creates REQUESTS/NAME.wanted when the screen shows what NAME should show, and
# waits for REQUESTS/NAME.taken.
# Usage: screenshots.sh PREFIX DRIVER SCENARIO OUTPUT_FOLDER
set -euo pipefail
prefix=$1 driver=$2 scenario=$3 output=$4

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 480x640x24" "$0" "$@"
fi

requests=$(mktemp -d)
trap 'rm -rf "$requests"' EXIT
mkdir -p "$output"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 180 wine "$driver" "$scenario" "$(winepath -w "$requests")" &
driver_pid=$!

while kill -0 "$driver_pid" 2>/dev/null; do
    for wanted in "$requests"/*.wanted; do
        [ -e "$wanted" ] || continue
        name=$(basename "$wanted" .wanted)
        sleep 0.5 # let the window finish drawing
        import -window root "$output/$name.png"
        echo "screenshot: $output/$name.png"
        mv "$wanted" "$requests/$name.taken"
    done
    sleep 0.1
done
wait "$driver_pid"
