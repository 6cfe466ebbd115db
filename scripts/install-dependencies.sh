#!/usr/bin/env bash
# Installs, with apt-get, whichever of the packages that the build and the tests
# need are missing. Run as root on Debian.
set -euo pipefail

packages=(
    cmake make g++                       # host build
    libgtest-dev googletest              # tests; the sources are built again for Windows
    libbenchmark-dev                     # benchmarks
    mingw-w64                            # Windows build
    wine wine64 xvfb xauth               # Windows tests under Wine on a virtual display
    imagemagick                          # screenshots of the Windows program
    binutils-arm-none-eabi               # the device's coprocessor routines
    clang                                # the device's own sources, compiled for 32-bit Windows
    libnewlib-dev libstdc++-arm-none-eabi-dev # with a C and C++ library that has no <windows.h>
    clang-format                         # the layout check
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
