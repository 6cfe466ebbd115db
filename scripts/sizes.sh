#!/usr/bin/env bash
# Prints the sizes that the README reports: the portable core compiled for the
# handheld's processor, the handheld's images and cabinets (preset device), and
# the stripped Windows program and setup DLLs (preset windows). Build both
# presets first.
set -euo pipefail
cd "$(dirname "$0")/.."

# core-libraries.txt names the core's libraries, one a line.
mapfile -t libraries < build/device/core-libraries.txt
read -r text data bss _ < <(arm-none-eabi-size -t "${libraries[@]}" | tail -n 1)
echo "core for ARMv5TE: code $text bytes (with its constants), data $((data + bss)) bytes" \
    "($data initialised, $bss zeroed)"

for file in device/Tavil.exe device/setup_wm5.dll device/setup_wm2003se.dll \
    device/Tavil_WM5.cab device/Tavil_WM2003SE.cab \
    windows/e2e/Tavil.exe windows/setup/setup_wm5.dll windows/setup/setup_wm2003se.dll; do
    echo "build/$file: $(stat -c %s "build/$file") bytes"
done
