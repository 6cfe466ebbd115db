#!/usr/bin/env bash
# Builds every file of the handheld's own folder (platform/win32/ce/), which no
# preset builds, so that a change to a header they use cannot break them
# unseen: each C++ source and header is compiled against the folder's own
# declarations of the device's SDK (ce_sdk.h), each ARM routine file is
# assembled for ARMv5TE, the imports list is checked (check-imports-list.py),
# and any other file fails the check, as nothing would build it. Warnings are
# errors.
#
# The device's compiler is not at hand. clang checks the sources for 32-bit
# Windows on x86 (i686-pc-windows-msvc): the device's record layout, 16-bit wide
# characters and 32-bit pointers, and Microsoft's __try and __except, which
# clang accepts for x86 and 64-bit ARM Windows but not for the device's 32-bit
# ARM. No system header is searched: the C++ and C library come from Debian's
# bare-metal ARM toolchain, which has no <windows.h>.
# Usage: check-device-sources.sh SOURCE_ROOT WORKDIR
set -euo pipefail
root=$1
workdir=$2
folder=$root/platform/win32/ce
check_imports=$(dirname "$0")/check-imports-list.py

cxx_headers=$(find /usr/include/newlib/c++ -mindepth 1 -maxdepth 1 -type d | sort -V | tail -n 1)
flags=(
    --target=i686-pc-windows-msvc -std=c++20 -fsyntax-only
    -fms-extensions -fno-ms-compatibility -fno-delayed-template-parsing
    -fno-exceptions -fno-rtti
    -Wall -Wextra -Wpedantic -Werror
    -Wmissing-prototypes # every function the device defines is one a header declares
    -Wno-language-extension-token # __try and __except are the device compiler's own words
    -nostdinc
    -isystem "$cxx_headers" -isystem "$cxx_headers/arm-none-eabi" -isystem /usr/include/newlib
    -isystem "$(clang++ -print-resource-dir)/include"
    -I "$root"
)

failed=0
checked=0
while IFS= read -r file; do
    name=${file#"$root"/}
    case $file in
    *.cpp) command=(clang++ "${flags[@]}" "$file") ;;
    *.h) command=(clang++ "${flags[@]}" -x c++-header "$file") ;;
    *.s) command=(arm-none-eabi-as -march=armv5te -o "$workdir/device-$(basename "$file").o" "$file") ;;
    */imports.tsv) command=(/usr/bin/python3 "$check_imports" "$file") ;;
    *)
        echo "$name: nothing builds this file" >&2
        failed=$((failed + 1))
        continue
        ;;
    esac
    checked=$((checked + 1))
    if ! "${command[@]}"; then
        echo "$name: does not build for the device" >&2
        failed=$((failed + 1))
    fi
done < <(find "$folder" -type f | sort)

if [ "$checked" -eq 0 ]; then
    echo "no device sources in $folder" >&2
    exit 1
fi
if [ "$failed" -gt 0 ]; then
    echo "$failed of the device's files fail" >&2
    exit 1
fi
echo "all $checked device files build against the device's declarations"
