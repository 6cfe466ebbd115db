#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time on a working
# copy of its seed corpus (tests/fuzz/corpus/<target>/, never written to).
# Fails on any finding, printing the input that caused it.
#
#   bash scripts/fuzz.sh [--seconds N] [target ...]
#
# N is the time per target (15 by default); the targets are the folders of
# tests/fuzz/corpus (all by default), each with the words of its input in
# tests/fuzz/<target>.dict where it has one. The working corpora stay in
# build/fuzz/work/<target> and grow from run to run; findings are written to
# build/fuzz/findings/<target>/ and each run's output to build/fuzz/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=15
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
    --seconds)
        seconds=${2:?--seconds needs a number}
        shift 2
        ;;
    -*)
        echo "fuzz.sh: unknown option $1" >&2
        exit 2
        ;;
    *)
        targets+=("$1")
        shift
        ;;
    esac
done
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "fuzz.sh: --seconds needs a whole number above 0" >&2
    exit 2
fi
if [ ${#targets[@]} -eq 0 ]; then
    for folder in tests/fuzz/corpus/*/; do
        targets+=("$(basename "$folder")")
    done
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null

# What went wrong: the report from its first line, with its stack, and the summary.
report() {
    awk '/ERROR: |runtime error:|fuzz check failed|ALARM:|out-of-memory|deadly signal/ { found = 1 }
         found && shown < 40 { print; shown++; next }
         /^SUMMARY: / { print }' "$1"
}

# The input as hex bytes and text, at most its first 512 bytes.
show_input() {
    echo "--- $1 ($(stat -c %s "$1") bytes)"
    od -A x -t x1z -v "$1" | head -n 32
}

failed=()
for target in "${targets[@]}"; do
    fuzzer=build/fuzz/tests/fuzz/${target}_fuzz
    if [ ! -d "tests/fuzz/corpus/$target" ] || [ ! -x "$fuzzer" ]; then
        echo "fuzz.sh: no fuzz target $target" >&2
        exit 2
    fi
    work=build/fuzz/work/$target
    findings=build/fuzz/findings/$target
    log=build/fuzz/logs/$target.log
    mkdir -p "$work" "$findings" build/fuzz/logs
    rm -f "$findings"/*
    cp "tests/fuzz/corpus/$target"/* "$work"/
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$findings/")
    if [ -f "tests/fuzz/$target.dict" ]; then
        options+=(-dict="tests/fuzz/$target.dict")
    fi
    status=0
    "$fuzzer" "${options[@]}" "$work" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$status" -eq 0 ]; then
        echo "fuzz $target: ${runs:-0} runs in ${seconds} s, no finding"
        continue
    fi
    failed+=("$target")
    echo "fuzz $target: FINDING after ${runs:-?} runs (exit $status); from $log:"
    report "$log"
    for input in "$findings"/*; do
        [ -e "$input" ] || continue
        show_input "$input"
        echo "    again: $fuzzer $input"
    done
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: findings in ${failed[*]}"
    exit 1
fi
echo "fuzz: ${#targets[@]} targets, no finding"
