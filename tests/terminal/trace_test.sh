#!/usr/bin/env bash
# The trace of a script run (--trace FILE), run as the emulator comparison runs
# it: each case gives a script and the lines the trace must then hold, as the
# shared trace format and the simulated handheld's documented state give them.
set -uo pipefail
sim=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
trace=$work/trace.txt

# trace_run NAME EXPECTED-EXIT SCRIPT [tavil-sim arguments]: on a fresh handheld
# (or the state file $work/state.txt holds, when `keep_state` is set)
trace_run() {
    local name=$1 expected=$2 script=$3
    shift 3
    current=$name
    [ -n "${keep_state:-}" ] || rm -f "$work/state.txt"
    rm -f "$trace"
    printf '%b' "$script" >"$work/script.txt"
    timeout 60 "$sim" --state "$work/state.txt" --script "$work/script.txt" --trace "$trace" "$@" \
        >"$work/out" 2>"$work/err"
    local status=$?
    if [ "$status" -ne "$expected" ]; then
        fail "exit $status, expected $expected: $(cat "$work/err")"
    fi
}

fail() {
    echo "FAIL $current: $1"
    failures=$((failures + 1))
}

# line_number LINE: where the trace first holds that whole line; 0 when nowhere
line_number() {
    grep -nxF -m1 -- "$1" "$trace" 2>/dev/null | cut -d: -f1 | grep . || echo 0
}

# in_order LINE...: each line is in the trace, each after the one before
in_order() {
    local previous=0 at
    for line in "$@"; do
        at=$(line_number "$line")
        if [ "$at" -le "$previous" ]; then
            fail "'$line' not found after line $previous"
            return
        fi
        previous=$at
    done
}

# next_after LINE NEXT: NEXT comes right after LINE
next_after() {
    local at
    at=$(line_number "$1")
    if [ "$at" -eq 0 ] || [ "$(sed -n "$((at + 1))p" "$trace")" != "$2" ]; then
        fail "'$2' expected right after '$1'"
    fi
}

no_trace() {
    if [ -e "$trace" ]; then fail "a trace file was left"; fi
}

err_has() {
    if ! grep -qF -- "$1" "$work/err"; then fail "'$1' expected on stderr"; fi
}

# The presets at start-up on each family (the README's table; the CCCR fields
# as the PXA27x and PXA255 manuals lay them out, the upper half kept from
# power-on; CCLKCFG turbo and FCS, and fast-bus B on PXA27x).
while IFS='|' read -r processor preset world cccr cclkcfg; do
    trace_run "preset $preset on $processor" 0 'wait 2\ntap\nchoose "Выход"\n' \
        --processor "$processor" -- "$preset"
    in_order "$world" "$cccr" "$cclkcfg" "step 1: wait 2" "step 2: tap" "menu" \
        'step 3: choose "Выход"' "icon delete" "exit 0"
done <<'EOF'
pxa25x|#5|world processor pxa25x mainid 0x69052D06 cachetype 0x0B1AA1AA cccr 0x00000241 cclkcfg 0x00000001|cccr 0x000002C1|cclkcfg 0x00000003
pxa27x|#5|world processor pxa27x mainid 0x69054117 cachetype 0x0B1AA1AA cccr 0x02000210 cclkcfg 0x00000009|cccr 0x02000290|cclkcfg 0x0000000B
EOF

# Of the last run (pxa27x): the handheld as switched on, as sim_handheld.h,
# sim_clock.h, sim_storage.h, sim_files.h and sim_system_info.h document it.
in_order 'world processor-info "ARM" "PXA270" "Intel Corporation" 416' \
    'world version 5 1 14847 3 ""' \
    'world locale 866 1251 1049 1049 -180' \
    'world screen 240 320 16 32' \
    'world display 0 7' \
    'world memory 64 67108864 24117248' \
    'world power 0 1 87 1 100 3950 -210 312 3100 4' \
    'world clock 0 20 1 48000' \
    'world store 33554432 22020096' \
    'world folder 7 "\\Windows\\StartUp"' \
    'world program "peghelp.exe"' \
    'cccr 0x02000290'
# The menu: entries two spaces deeper per submenu, the preset's entry checked,
# and what was chosen right after the choose line that chose it.
in_order 'menu' '  10005 x- "520 МГц"' '  separator' '  popup -- "Разгон"' '    popup -- "Частота"'
exit_id=$(sed -n 's/^  \([0-9]*\) -- "Выход"$/\1/p' "$trace")
next_after 'step 3: choose "Выход"' "chosen ${exit_id:-none}"
# The icon as added: SIZE rows of SIZE pixels, SIZE the screen's small icon.
added=$(line_number 'icon add 16')
rows=$(sed -n "$((added + 1)),$((added + 17))p" "$trace" | grep -cxE '[0-9A-F]{8}( [0-9A-F]{8}){15}')
[ "$added" -ne 0 ] && [ "$rows" -eq 16 ] || fail "icon add 16 with 16 rows of 16 pixels expected"
[ "$(tail -n 1 "$trace")" = "exit 0" ] || fail "exit 0 expected last (the registry is empty)"

# A frequency chosen from the menu (624 MHz: L 16, 2N 6): its writes come as
# they happen, after the choice and before the icon that shows the new speed.
trace_run frequency_chosen 0 'tap\nchoose 10006\nwait 1\n'
next_after 'chosen 10006' 'cccr 0x02000310'
next_after 'cccr 0x02000310' 'cclkcfg 0x0000000B'
next_after 'cclkcfg 0x0000000B' 'icon modify 16'

# Steps keep their line numbers past blank and comment lines and are trimmed;
# a dialog is written when it shows new texts and its closing once; a message
# box with its answer; a second copy's exit and the writes its preset caused.
trace_run boxes_and_copies 0 'tap\nchoose "Питание"\nwait 1\nworld battery 50\nwait 2\n  ok\t\n\n# a comment\nwait 1\r\ntap\nchoose "Перезагрузка"\nanswer no\nsecond "#3"\nwait 1\nquit\n'
next_after 'step 6: ok' 'dialog closed "Питание"'
in_order 'step 4: world battery 50' '1003 "50 %"' 'step 6: ok' 'step 9: wait 1'
grep -qx '65535 "Основная батарея:"' "$trace" || fail "a label's id written as 65535 expected"
awk 'function finish() { if (block != "") { if (block == last) repeated = 1; last = block; block = "" } }
     /^dialog "/ { finish(); block = $0; next }
     block != "" && /^[0-9]+ "/ { block = block "\n" $0; next }
     { finish() }
     END { finish(); exit repeated }' "$trace" ||
    fail "a dialog written again without a change"
# The restart question, a Yes/No box with No the default (MB_YESNO 0x4,
# MB_ICONQUESTION 0x20, MB_DEFBUTTON2 0x100, MB_SETFOREGROUND 0x10000,
# MB_TOPMOST 0x40000), answered No (IDNO 7).
next_after 'step 12: answer no' \
    'messagebox "Перезагрузка" "Вы действительно хотите выполнить перезагрузку ?" 0x00050124 answer 7'
in_order 'step 13: second "#3"' 'second exit 0' 'cccr 0x02000190' 'cclkcfg 0x0000000B' 'step 14: wait 1'

# The registry at the start and at the end, from a state file: sorted by the
# bytes of path then name (B before a, A before Z before b), keys without values
# alone, each type as the format writes it, names quoted.
printf '%s\n' "# tavil-sim state: the handheld's registry and files" 'Test\a	Z	3	00FF10' \
    'Test\a	A	3	' 'Test\a	b"q\\x%0Ay	1	410031000000' 'Test\B	v	4	2A000000' 'Empty' \
    >"$work/state.txt"
expected_registry='HKLM\Empty
HKLM\Test
HKLM\Test\B "v" dword 0x0000002A
HKLM\Test\a "A" binary 
HKLM\Test\a "Z" binary 00FF10
HKLM\Test\a "b\"q\\\\x\ny" sz "A1"'
keep_state=1 trace_run registry 0 'quit\n'
[ "$(sed -n 's/^world registry //p' "$trace")" = "$expected_registry" ] ||
    fail "world registry lines: $(grep '^world registry' "$trace")"
[ "$(sed -n '/^exit 0$/,$p' "$trace" | sed -n 's/^registry //p')" = "$expected_registry" ] ||
    fail "registry lines after exit: $(sed -n '/^exit/,$p' "$trace")"

# Bad use and failed runs: exit 2 before the program starts, or 1 after; no trace left.
printf '%s\n' "# tavil-sim state: the handheld's registry and files" 'Test	m	7	6100000000' \
    >"$work/state.txt"
keep_state=1 trace_run unwritable_registry 2 'quit\n'
err_has 'the registry value HKLM\Test "m" has type 7'
no_trace
trace_run script_fails 1 'wait 1\nchoose 10001\n'
err_has 'line 2: no menu is open'
no_trace
current=no_script
rm -f "$trace"
TAVIL_SECONDS=1 timeout 60 "$sim" --state "$work/state.txt" --trace "$trace" </dev/null >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "exit 2 expected"
err_has '--trace needs --script'
no_trace
rm -f "$work/state.txt"
trace_run trace_not_made 2 'quit\n' --trace "$work/no-folder/trace.txt"
err_has "the trace file $work/no-folder/trace.txt cannot be made"
[ ! -e "$work/state.txt" ] || fail "the program ran"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "every trace case passed"
