#!/usr/bin/env bash
# Assembles the device's coprocessor routines for ARMv5TE and checks that each
# routine holds the coprocessor instruction it is named for.
# Usage: check-arm-assembly.sh SOURCE WORKDIR
set -euo pipefail
source=$1
object=$2/coprocessor_arm.o

arm-none-eabi-as -march=armv5te -o "$object" "$source"
listing=$(arm-none-eabi-objdump -d "$object")

expect() {
    local routine=$1 instruction=$2
    if ! grep -A2 "<$routine>:" <<<"$listing" | grep -q "$instruction"; then
        echo "$routine does not hold: $instruction" >&2
        exit 1
    fi
}
expect readMainIdRegister    'mrc.*15, 0, r0, cr0, cr0, {0}'
expect readCacheTypeRegister 'mrc.*15, 0, r0, cr0, cr0, {1}'
expect readCclkcfgRegister   'mrc.*14, 0, r0, cr6, cr0, {0}'
expect writeCclkcfgRegister  'mcr.*14, 0, r0, cr6, cr0, {0}'
echo "coprocessor routines assemble for ARMv5TE"
