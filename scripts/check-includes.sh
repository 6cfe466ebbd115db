#!/usr/bin/env bash
# Fails when an include runs against the floors of the tree:
#   platform/*.h        the services' contracts: nothing but each other
#   core/               the base: the state record, command ids, text, settings
#   clock/ trayicon/ info/ device/   the subsystems: the base, the platform's
#                       contracts, their own folder, and of each other only the
#                       pure clock arithmetic
#   setup/              the install gate: the platform's contracts only
#   shell/              the top: everything above the platform's implementations
#   platform/sim/ platform/win32/    the implementations: the contracts and
#                       their own folder; each entry point, and the simulated
#                       handheld's terminal front-end, may call the shell (and
#                       the simulated handheld's main the install gate, as the
#                       installer calls it)
# Tests may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

contracts='platform/[a-z_]+\.h'
pure_clock='clock/clock_arithmetic\.h'

# The includes a file may have, as an extended regular expression, by the
# most specific rule that matches its path.
allowed_for() {
    case "$1" in
    platform/sim/sim_main.cpp)
        echo "$contracts|platform/sim/|core/|$pure_clock|shell/startup\.h|setup/install_gate\.h" ;;
    platform/sim/terminal/*)
        echo "$contracts|platform/sim/|core/|$pure_clock|shell/startup\.h" ;;
    platform/win32/win32_entry.cpp | platform/win32/ce/device_program_entry.cpp)
        echo "$contracts|platform/win32/|shell/startup\.h" ;;
    platform/win32/desktop_*) echo "$contracts|platform/win32/|platform/sim/sim_processor\.h" ;;
    platform/win32/*) echo "$contracts|platform/win32/" ;;
    platform/sim/*) echo "$contracts|platform/sim/" ;;
    platform/*.h) echo "$contracts" ;;
    core/*) echo "$contracts|core/" ;;
    clock/*) echo "$contracts|core/|clock/" ;;
    trayicon/*) echo "$contracts|core/|trayicon/|$pure_clock" ;;
    info/*) echo "$contracts|core/|info/|$pure_clock" ;;
    device/*) echo "$contracts|core/|device/" ;;
    setup/*) echo "$contracts|setup/" ;;
    shell/*) echo "$contracts|core/|clock/|trayicon/|info/|device/|shell/" ;;
    tests/*) echo ".*" ;;
    *) echo "" ;; # a folder without a floor: every include is out of place
    esac
}

status=0
while IFS= read -r file; do
    allowed=$(allowed_for "$file")
    while IFS=: read -r line included; do
        if [ -z "$allowed" ] || ! grep -Eqx "($allowed).*" <<<"$included"; then
            echo "$file:$line: includes \"$included\" against the floors"
            status=1
        fi
    done < <(grep -n '^#include "' "$file" | sed -E 's/^([0-9]+):#include "([^"]*)".*/\1:\2/')
done < <(find . \( -path ./build -o -path ./.git \) -prune -o \( -name '*.cpp' -o -name '*.h' \) -print |
    sed 's#^\./##' | sort)

[ "$status" -eq 0 ] && echo "every include runs downward"
exit "$status"
