#!/usr/bin/env bash
# Checks each setup DLL's export table: Install_Init, Install_Exit,
# Uninstall_Init and Uninstall_Exit under exactly these names, the last three at
# one address (one function) and Install_Init at another.
# Usage: check-setup-exports.sh DLL...
set -euo pipefail
status=0

# "name address" for each exported name, from objdump's export tables.
exports_of() {
    x86_64-w64-mingw32-objdump -p "$1" | awk '
        /^Export Address Table --/ { table = "addresses"; next }
        /^\[Ordinal\/Name Pointer\] Table/ { table = "names"; next }
        /^$/ { table = "" }
        table != "" && /^\t\[/ {
            gsub(/[][]/, " ")
            if (table == "addresses") { address[$1] = $4 } else { print $NF, address[$1] }
        }'
}

# The address of a name in $exports; empty when it is not there.
address_of() { awk -v name="$1" '$1 == name { print $2 }' <<<"$exports"; }

for dll in "$@"; do
    exports=$(exports_of "$dll")
    for name in Install_Init Install_Exit Uninstall_Init Uninstall_Exit; do
        if [ -z "$(address_of "$name")" ]; then
            echo "$dll: $name is not exported"
            status=1
        fi
    done
    goes_on=$(address_of Install_Exit)
    if [ "$(address_of Uninstall_Init)" != "$goes_on" ] ||
        [ "$(address_of Uninstall_Exit)" != "$goes_on" ] ||
        [ "$(address_of Install_Init)" = "$goes_on" ]; then
        echo "$dll: the exports do not share their addresses as they should:"
        echo "$exports"
        status=1
    fi
done
[ $status -eq 0 ] && echo "exports as expected: $*"
exit $status
