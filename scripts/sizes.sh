#!/usr/bin/env bash
# Prints the sizes that the README reports: the portable core compiled for the
# handheld's processor (preset arm) and the stripped Windows program and setup
# DLLs (preset windows). Build both presets first.
set -euo pipefail
cd "$(dirname "$0")/.."

# core-libraries.txt names every library of the core build, one a line.
mapfile -t libraries < build/arm/core-libraries.txt
read -r text data bss _ < <(arm-none-eabi-size -t "${libraries[@]}" | tail -n 1)
echo "core for ARMv5TE: code $text bytes (with its constants), data $((data + bss)) bytes" \
    "($data initialised, $bss zeroed)"

for file in e2e/Tavil.exe setup/setup_wm5.dll setup/setup_wm2003se.dll; do
    size=$(stat -c %s "build/windows/$file")
    echo "$(basename "$file"): $size bytes"
done
