#!/usr/bin/env bash
# Installs, with apt-get, whichever of the packages that the build and the tests
# need are missing. Run as root on Debian. With --host only what building and
# running the program on the simulated handheld needs (the run command).
set -euo pipefail

host_packages=(
    cmake make g++                       # host build
    libgtest-dev googletest              # the host build's tests (configuring needs them);
                                         # the sources are built again for Windows
    libbenchmark-dev                     # benchmarks (configuring needs them too)
    valgrind                             # instruction budgets: callgrind, and its header
                                         # (configuring the release build needs it)
)

packages=(
    tmux                                 # the interactive front-end's test
    mingw-w64                            # Windows build
    wine wine64 xvfb xauth               # Windows tests under Wine on a virtual display
    imagemagick                          # screenshots of the Windows program
    binutils-arm-none-eabi               # the device's coprocessor routines
    clang                                # the device's own sources, compiled for 32-bit Windows
                                         # with the C and C++ headers below, which have no <windows.h>
    clang-format                         # the layout check
    libclang-rt-14-dev                   # the fuzz targets: libFuzzer and the sanitizers' run-time for clang
    python3-pyelftools python3-pefile    # the handheld's images: the link tool (ELF in, PE out)
    python3-capstone                     # and their checks (parse, disassemble)
    python3-unicorn                      # the emulated handheld that runs them
    gcab cabextract                      # the installable cabinets, made and read back
)

# The device's images link no C or C++ library (the system's core library
# serves what they need), so these go without what they recommend: the
# bare-metal C and C++ libraries.
headers_only_packages=(
    gcc-arm-none-eabi                    # the portable core for the device's processor
    libstdc++-arm-none-eabi-dev          # its C++ headers (also for the device's own sources)
    libnewlib-dev                        # the C headers these include
)

missing_of() {
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$package"
        fi
    done
}

if [ "${1:-}" = "--host" ]; then
    packages=()
    headers_only_packages=()
fi
mapfile -t missing < <(missing_of "${host_packages[@]}" "${packages[@]}")
mapfile -t missing_headers_only < <(missing_of "${headers_only_packages[@]}")

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_headers_only[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]} ${missing_headers_only[*]}"
    apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if [ ${#missing_headers_only[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing_headers_only[@]}" >/dev/null
fi
