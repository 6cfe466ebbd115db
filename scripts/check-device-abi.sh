#!/usr/bin/env bash
# Checks that every object of the device's libraries is built as the handheld
# runs it: ARMv5TE code in ARM state only, the procedure call standard of the
# platform's compiler (the one before the EABI, which GCC's objects mark as
# "GNU EABI"), no floating-point instructions nor registers, and no exception
# unwinding tables. The size of enums has no mark under that standard: the SDK
# header checks it where it matters, in the records the system reads.
# Usage: check-device-abi.sh LIBRARY_OR_OBJECT...
set -euo pipefail
status=0

attributes=$(arm-none-eabi-readelf -A "$@")
symbols=$(arm-none-eabi-nm --special-syms "$@")
headers=$(arm-none-eabi-readelf -h "$@")
sections=$(arm-none-eabi-objdump -h "$@")
objects=$(grep -c '^Attribute Section: aeabi' <<<"$attributes" || true)

fail() {
    echo "$1"
    status=1
}

# Each object names the tag once, so every object must carry the wanted value.
every_object() {
    local found
    found=$(grep -cx "  $1" <<<"$attributes" || true)
    [ "$found" -eq "$objects" ] || fail "$found of $objects objects have $1"
}

[ "$objects" -gt 0 ] || fail "no objects in: $*"
every_object 'Tag_CPU_arch: v5TE'
standards=$(grep -c '^  Flags: .*GNU EABI' <<<"$headers" || true)
[ "$standards" -eq "$objects" ] || fail "$standards of $objects objects follow the platform's call standard"
floating=$(grep -E '^  Tag_(FP_arch|ABI_VFP_args|Advanced_SIMD_arch):' <<<"$attributes" | sort -u || true)
[ -z "$floating" ] || fail "floating-point hardware in use:"$'\n'"$floating"
# $t marks Thumb code in an object's symbols.
if grep -qE ' \$t(\.|$)' <<<"$symbols"; then
    fail "Thumb code found"
fi
if grep -qE ' \.ARM\.ex(idx|tab)' <<<"$sections"; then
    fail "exception unwinding tables found"
fi

[ $status -eq 0 ] && echo "$objects objects for ARMv5TE in ARM state, the platform's call standard, soft float"
exit $status
