#!/usr/bin/env bash
# Counts, with valgrind's callgrind, the instructions and heap allocations of the
# operations below on the release build, prints them as a table and fails when
# one is over its budget. Instruction counts do not depend on the machine's load
# as times do, so the budgets can be tight.
#
#   scripts/measure-instructions.sh [PROBE]
#
# PROBE is the built tavil_instruction_probe (tests/budgets/); without it the
# host-release preset is configured and the probe built first.
#
# The probe runs on the simulated handheld, whose own instructions say nothing
# about the device. "Program" counts what runs in the program's code (and the
# standard library it calls); "platform" what runs inside the simulated
# handheld (platform/sim/, and what it calls): callgrind's inclusive cost of
# every call from the program into platform/sim/, less that of every call from
# there back into the program (a window procedure, a callback). A heap
# allocation (a call of malloc, calloc or realloc, which operator new calls) is
# the program's when the nearest of our own functions on its call stack is not
# in platform/sim/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# The budgets, per run: instructions in all, instructions of the program, and
# heap allocations by the program (- for not checked). About 25 % over what was
# measured, where no other goal is set: a real regression fails, a change of
# compiler does not.
#   operation   | shown as                                   | all    | program | allocations
budgets=(
    "compose-16  | compose and encode the icon, 16 px         | 2000   | 2000    | 0"
    "compose-32  | compose and encode the icon, 32 px         | 6000   | 6000    | 0"
    "idle-tick   | tick, nothing changed                      | 1500   | 150     | 0"
    "redraw-tick | tick that redraws the icon (16 px)         | 99000  | 2000    | 0"
    "menu        | popup menu, PXA27x, 30 processes           | 700000 | 27500   | 0"
    "startup     | start-up                                   | 180000 | 3000    | -"
)

probe=${1:-}
if [ -z "$probe" ]; then
    cd "$root"
    cmake --preset host-release >/dev/null
    cmake --build --preset host-release -j2 --target tavil_instruction_probe >/dev/null
    probe=$root/build/host-release/tests/tavil_instruction_probe
fi
probe=$(cd "$(dirname "$probe")" && pwd)/$(basename "$probe")
build=$(cd "$(dirname "$probe")/.." && pwd) # its generated sources belong to the platform

if ! command -v valgrind >/dev/null; then
    echo "measure-instructions: valgrind is not installed" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
allocators=()
for function in malloc calloc realloc; do
    allocators+=("--separate-callers40=$function")
done
(cd "$work" && valgrind --tool=callgrind --collect-atstart=no --compress-strings=no \
    --compress-pos=no "${allocators[@]}" --callgrind-out-file="$work/callgrind.out" \
    "$probe" >"$work/probe.log" 2>&1) || {
    cat "$work/probe.log" >&2
    echo "measure-instructions: the probe failed under callgrind" >&2
    exit 1
}

# Each dump: "operation runs instructions platform-instructions program-allocations
# platform-allocations unsplit".
split_dump() {
    awk -v root="$root/" -v sim="$root/platform/sim/" -v build="$build/" '
        function kind(file) {
            if (index(file, sim) == 1 || index(file, build) == 1) return "platform"
            if (index(file, root) == 1) return "program"
            return "library"
        }
        function base(name) { return substr(name, 1, index(name "\047", "\047") - 1) }
        function allocator(name) {
            name = base(name)
            return name == "malloc" || name == "calloc" || name == "realloc"
        }
        # An allocation belongs to the nearest of our own functions that called it.
        function owner(context,   parts, count, i, k) {
            count = split(context, parts, "\047")
            for (i = 2; i <= count; i++) {
                k = (parts[i] in fileOf) ? kind(fileOf[parts[i]]) : "library"
                if (k != "library") return k
            }
            return "program"
        }
        /^desc: Trigger: Client Request: / { split(substr($0, 32), request, " ") }
        /^summary: / { total = $2 }
        /^fl=/ { file = substr($0, 4); next }
        /^fn=/ {
            fn = substr($0, 4); fnFile = file; calleeFile = ""
            if (index(fn, "\047") == 0) fileOf[fn] = file
            next
        }
        /^cfi=|^cfl=/ { calleeFile = substr($0, 5); next }
        /^cfn=/ { callee = substr($0, 5); next }
        /^calls=/ { split(substr($0, 7), call, " "); arc = 1; next }
        /^[0-9]/ {
            if (!arc) { own[fn] += $2; next }
            arc = 0
            to = calleeFile != "" ? calleeFile : fnFile
            from = kind(fnFile); into = kind(to)
            if (from == "program" && into == "platform") platform += $2
            if (from == "platform" && into == "program") platform -= $2
            if (from == "library" && into != "library" && callee != "main") unsplit += $2
            if (allocator(callee)) calls[callee] += call[1]
            calleeFile = ""
        }
        END {
            for (context in calls) {
                if (own[context] == 0) continue # called only while collection was off
                if (owner(context) == "program") allocations += calls[context]
                else platformAllocations += calls[context]
            }
            printf "%s %d %.0f %.0f %.0f %.0f %.0f\n", request[1], request[2], total, platform,
                allocations, platformAllocations, unsplit
        }' "$1"
}

results=$work/results
: >"$results"
for dump in "$work"/callgrind.out.*; do
    if grep -q '^desc: Trigger: Client Request: ' "$dump" &&
        ! grep -q '^desc: Trigger: Client Request: warm-up' "$dump"; then
        split_dump "$dump" >>"$results"
    fi
done

per_run() { awk -v n="$1" -v runs="$2" 'BEGIN { printf "%.0f", n / runs }'; }

failed=0

# The bookkeeping itself: the probe's own allocation is the program's, the
# simulated handheld's are not, and its instructions are the platform's.
read -r _ runs total platform allocations _ _ < <(grep "^check-program-allocation " "$results") ||
    runs=0
if [ "$runs" -eq 0 ] || [ "$allocations" -ne "$runs" ]; then
    echo "measure-instructions: one heap allocation a run was not counted as the program's" >&2
    failed=1
fi
read -r _ runs total platform allocations platform_allocations _ < \
    <(grep "^check-platform-only " "$results") || runs=0
if [ "$runs" -eq 0 ] || [ "$allocations" -ne 0 ] || [ "$platform_allocations" -lt "$runs" ] ||
    [ $(((total - platform) / runs)) -gt 60 ]; then
    echo "measure-instructions: the simulated handheld's work was not told from the program's" >&2
    failed=1
fi

printf '%-42s %6s %12s %10s %10s %12s\n' "Operation (per run)" "runs" "instructions" "program" \
    "platform" "allocations"
for row in "${budgets[@]}"; do
    IFS='|' read -r operation label all_budget own_budget allocation_budget <<<"$row"
    read -r operation <<<"$operation" # without the blanks around it
    read -r label <<<"$label"
    read -r all_budget own_budget allocation_budget <<<"$all_budget $own_budget $allocation_budget"
    if ! read -r _ runs total platform allocations _ unsplit < <(grep "^$operation " "$results"); then
        echo "measure-instructions: nothing measured for $operation" >&2
        failed=1
        continue
    fi
    all=$(per_run "$total" "$runs")
    own=$(per_run $((total - platform)) "$runs")
    per_run_allocations=$(awk -v n="$allocations" -v runs="$runs" 'BEGIN { printf "%g", n / runs }')
    printf '%-42s %6d %12d %10d %10d %12s\n' "$label" "$runs" "$all" "$own" \
        $((all - own)) "$per_run_allocations"
    if [ "$unsplit" -ne 0 ]; then
        echo "  cannot split: the standard library calls our code ($unsplit instructions)" >&2
        failed=1
    fi
    if [ "$all" -gt "$all_budget" ]; then
        echo "  over budget: $all instructions, at most $all_budget" >&2
        failed=1
    fi
    if [ "$own" -gt "$own_budget" ]; then
        echo "  over budget: $own instructions of the program, at most $own_budget" >&2
        failed=1
    fi
    if [ "$allocation_budget" != "-" ] && [ "$allocations" -gt "$allocation_budget" ]; then
        echo "  over budget: $allocations heap allocations by the program in $runs runs," \
            "at most $allocation_budget" >&2
        failed=1
    fi
done
exit "$failed"
