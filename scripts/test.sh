#!/usr/bin/env bash
# Every test: installs what is missing, builds the host (debug with sanitizers,
# and release) and the Windows build, and runs all their tests, the Windows ones
# under Wine, and compiles the portable core for the handheld's processor (arm),
# whose test checks the objects' instruction set and calling conventions; then
# runs each fuzz target for a few seconds (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh

presets=(host host-release windows device)
for preset in "${presets[@]}"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)"
done
scripts/sizes.sh

passed=0
failed=0
for preset in "${presets[@]}"; do
    log=build/ctest-$preset.log
    status=0
    ctest --preset "$preset" 2>&1 | tee "$log" || status=$?
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    passed=$((passed + ${total:-0} - ${bad:-0}))
    failed=$((failed + ${bad:-0}))
    if [ "$status" -ne 0 ] && [ "${bad:-0}" -eq 0 ]; then
        failed=$((failed + 1))
    fi
done

fuzz_status=0
scripts/fuzz.sh || fuzz_status=$?

echo
echo "ctest: $passed passed, $failed failed"
if [ "$fuzz_status" -eq 0 ]; then echo "fuzz: no finding"; else echo "fuzz: FAILED"; fi
[ "$failed" -eq 0 ] && [ "$fuzz_status" -eq 0 ]
