#!/usr/bin/env bash
# Shows that check-device-sources.sh fails on the faults it is there for: in a
# copy of platform/ (and shell/, whose start-up the device's entry point calls),
# each fault below is planted alone, and the check must fail
# and name the file that carries it; the copy without a fault must pass.
# Usage: check-device-sources-faults.sh SOURCE_ROOT WORKDIR
set -euo pipefail
root=$1
workdir=$2/device-source-faults
check=$root/scripts/check-device-sources.sh
ce=platform/win32/ce

# name | file to change | sed expression | what the check must print
faults=(
    "syntax error|$ce/device_idle_time.cpp|s/return GetIdleTime();/return GetIdleTime()/|device_idle_time.cpp: does not build"
    "warning|$ce/device_idle_time.cpp|s/return GetIdleTime();/int unused = 0;\n    return GetIdleTime();/|device_idle_time.cpp: does not build"
    "record layout|$ce/ce_sdk.h|/DWORD th32AccessKey;/d|ce_sdk.h: does not build"
    "record packing|$ce/ce_sdk.h|s/#pragma pack(push, 2)/#pragma pack(push, 4)/|ce_sdk.h: does not build"
    "wrong prototype|$ce/ce_sdk.h|s/BOOL SetKMode(BOOL fMode)/BOOL SetKMode()/|device_clock_hardware.cpp: does not build"
    "declaration changed elsewhere|platform/win32/tool_help.h|s/closeToolHelpSnapshot/endToolHelpSnapshot/|device_processes.cpp: does not build"
    "desktop header|$ce/device_idle_time.cpp|s@#include \"platform/win32/ce/ce_sdk.h\"@#include <windows.h>@|device_idle_time.cpp: does not build"
    "import newer than the oldest system|$ce/imports.tsv|s/\t4.20\t/\t5.0\t/|imports.tsv: does not build"
    "import listed twice|$ce/imports.tsv|/\tCloseHandle\t/p|imports.tsv: does not build"
    "import without its source|$ce/imports.tsv|s/\tCE3 @553; DEF1810 @553$//|imports.tsv: does not build"
    "file nothing builds|$ce/notes.txt||notes.txt: nothing builds this file"
)

plant() {
    rm -rf "$workdir/tree"
    mkdir -p "$workdir/tree"
    cp -r "$root/platform" "$root/shell" "$workdir/tree/"
}

plant
"$check" "$workdir/tree" "$workdir" >/dev/null 2>&1 || {
    echo "the device sources fail without a planted fault" >&2
    exit 1
}

missed=0
for fault in "${faults[@]}"; do
    IFS='|' read -r name file expression expected <<<"$fault"
    plant
    if [ -e "$workdir/tree/$file" ]; then
        before=$(cat "$workdir/tree/$file")
        sed -i "$expression" "$workdir/tree/$file"
        if [ "$before" = "$(cat "$workdir/tree/$file")" ]; then
            echo "$name: could not be planted in $file" >&2
            missed=$((missed + 1))
            continue
        fi
    else
        echo "stray" >"$workdir/tree/$file"
    fi
    if output=$("$check" "$workdir/tree" "$workdir" 2>&1); then
        echo "$name: the check passed" >&2
        missed=$((missed + 1))
    elif ! grep -qF "$expected" <<<"$output"; then
        echo "$name: the check failed without: $expected" >&2
        missed=$((missed + 1))
    fi
done

rm -rf "$workdir/tree"
if [ "$missed" -gt 0 ]; then
    exit 1
fi
echo "the device source check fails on each of ${#faults[@]} planted faults"
