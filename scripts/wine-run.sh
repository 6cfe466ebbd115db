#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix, on a virtual X display
# when none is set, and returns its exit code. Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shift
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" timeout 240 wine "$@"
fi
exec timeout 240 wine "$@"
