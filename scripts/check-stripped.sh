#!/usr/bin/env bash
# Checks that each Windows file given carries no symbol table, as a release
# build ships it.
# Usage: check-stripped.sh FILE...
set -euo pipefail
status=0
for file in "$@"; do
    table=$(x86_64-w64-mingw32-objdump -t "$file")
    if ! grep -qx 'no symbols' <<<"$table"; then
        echo "$file: not stripped"
        status=1
    fi
done
[ $status -eq 0 ] && echo "stripped: $*"
exit $status
