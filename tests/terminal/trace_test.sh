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

# The handheld as the options set it up: the planted faults right after the
# processor's line (in the processor record's order, the countdown last), the
# version (4.21: build 1088) and the languages (0x0409 English is 1033, 0x0419
# Russian 1049), the code pages kept.
while IFS='|' read -r options faults version locale; do
    # shellcheck disable=SC2086 # the options are words
    trace_run "world of $options" 0 'quit\n' $options
    [ "$(grep '^world fault' "$trace" | paste -sd ';')" = "$faults" ] ||
        fail "fault lines: $(grep '^world fault' "$trace" | paste -sd ';')"
    [ -z "$faults" ] || next_after "$(grep -m1 '^world processor ' "$trace")" "${faults%%;*}"
    in_order "$version" "$locale"
done <<'EOF'
--fault load-cccr|world fault load-cccr|world version 5 1 14847 3 ""|world locale 866 1251 1049 1049 -180
--fault access=5 --fault store-cccr --fault read-main-id|world fault read-main-id;world fault store-cccr;world fault access 5|world version 5 1 14847 3 ""|world locale 866 1251 1049 1049 -180
--os 4.21 --language en||world version 4 21 1088 3 ""|world locale 866 1251 1033 1033 -180
--os 5.1 --language ru --fault kernel-mode-refused|world fault kernel-mode-refused|world version 5 1 14847 3 ""|world locale 866 1251 1049 1049 -180
EOF

# The processes the system starts again at a restart (the kernel, the system
# servers and the shell, as sim_processes.h lists them) end with "system".
while IFS='|' read -r name system; do
    found=$(grep -cE "^world process [0-9]+ [0-9]+ \"$name\"$system\$" "$trace")
    [ "$found" -eq 1 ] || fail "world process \"$name\" expected${system:- without system}"
done <<'EOF'
nk.exe| system
filesys.exe| system
device.exe| system
gwes.exe| system
shell32.exe| system
services.exe| system
connmgr.exe| system
Tavil.exe|
tmail.exe|
poutlook.exe|
EOF

# ticks_have LINE MINIMUM: the ticks after the other program's write hold LINE
# at least MINIMUM times; with 0, no line of its register at all.
ticks_have() {
    local register=${1%% *}
    if [ "$2" -eq 0 ]; then
        ! grep -q "^$register " <<<"$ticks" || fail "no $register line expected: $ticks"
    elif [ "$(grep -cxF -- "$1" <<<"$ticks")" -lt "$2" ]; then
        fail "'$1' expected after the write: $ticks"
    fi
}

# A fault planted by the script while the program runs: another program writes
# the CCCR and Tavil, at its next ticks, stores its own back and then writes
# CCLKCFG to change over (the PXA27x sequence). A faulting step writes nothing:
# a store fault, or no kernel mode, leaves no cccr line; a CCLKCFG fault leaves
# the store alone.
while IFS='|' read -r fault cccr cclkcfg; do
    trace_run "tick with ${fault:-no fault}" 0 \
        "wait 2\n${fault:+world fault $fault\n}world cccr 0x02000108\nwait 3\nquit\n" -- "#5"
    ticks=$(sed -n '/^step [0-9]*: wait 3$/,/^step [0-9]*: quit$/p' "$trace")
    ticks_have 'cccr 0x02000290' "$cccr"
    ticks_have 'cclkcfg 0x0000000B' "$cclkcfg"
done <<'EOF'
|1|1
store-cccr|0|0
kernel-mode-refused|0|0
write-cclkcfg|1|0
EOF
# The step that plants it is traced as written.
in_order 'step 1: wait 2' 'step 2: world fault write-cclkcfg' 'step 3: world cccr 0x02000108'

# The install gate (setup/install_gate.h) in the program's stead: the screen
# first (LogicalPixelsX 192, which a VGA handheld holds), then the exact version;
# its one box is MB_OK | MB_ICONSTOP (0x10) | MB_SETFOREGROUND (0x10000) |
# MB_TOPMOST (0x40000), closed with OK (1) by default or by the script's
# answer; then the gate's answer (0 go on, 1 cancel) as the exit, and the
# registry. The program does not run and the state is not saved.
vga_pixels='world registry HKLM\Drivers\Display\GPE "LogicalPixelsX" dword 0x000000C0'
while IFS='|' read -r options script box answer; do
    # shellcheck disable=SC2086 # the options are words
    trace_run "install $options" "$answer" "$script" $options
    last_world=$(grep '^world ' "$trace" | tail -n 1)
    shown="messagebox \"PureVGA\" \"$box\" 0x00050010 answer 1"
    if [ -n "$box" ]; then
        in_order "$last_world" ${script:+"step 1: answer ok"} "$shown" "exit $answer"
        next_after "$shown" "exit $answer"
    else
        next_after "$last_world" "exit $answer"
    fi
    [ "$(grep -c '^messagebox ' "$trace")" -eq "$([ -n "$box" ] && echo 1 || echo 0)" ] ||
        fail "$([ -n "$box" ] && echo one || echo no) message box expected"
    case "$options" in
    *"--screen vga"*) in_order "$vga_pixels" "exit $answer" "${vga_pixels#world }" ;;
    *) ! grep -q 'LogicalPixelsX' "$trace" || fail "no LogicalPixelsX expected on QVGA" ;;
    esac
    ! grep -qE '^(icon|cccr|cclkcfg|menu)( |$)' "$trace" || fail "the program ran"
    # Nothing printed but the box.
    if [ -n "$box" ] && ! grep -qxF -- "$box" "$work/out"; then fail "the box's text expected"; fi
    if [ -z "$box" ] && [ -s "$work/out" ]; then fail "nothing printed expected: $(cat "$work/out")"; fi
    [ ! -e "$work/state.txt" ] || fail "the state was saved"
done <<'EOF'
--install 5.1 --os 4.21 --screen vga --language en||Only for Windows Mobile 5.0|1
--install 4.21 --os 4.21 --screen vga --language en|||0
--install 5.1 --screen vga|||0
--install 4.21 --screen vga|answer ok\n|Программа только для Windows Mobile 2003 SE|1
--install 5.1 --os 4.21 --language en||Only for VGA screen|1
--install 4.21 --os 4.21 --screen qvga||Программа только для VGA экранов|1
EOF

# Bad values, and scripts the install gate cannot carry out: exit 2 before the
# handheld starts (no state file made), or 1 after; a message naming what is
# wrong; no trace.
while IFS='|' read -r options script expected message; do
    # shellcheck disable=SC2086 # the options are words
    trace_run "bad: $options $script" "$expected" "$script" $options
    err_has "$message"
    no_trace
    [ "$expected" -ne 2 ] || [ ! -e "$work/state.txt" ] || fail "the handheld was switched on"
done <<'EOF'
--os 6.0|quit\n|2|bad value for --os: 6.0
--language de|quit\n|2|bad value for --language: de
--install 5.0||2|bad value for --install: 5.0
--fault store|quit\n|2|bad value for --fault: store
--fault access|quit\n|2|bad value for --fault: access
--fault access=0|quit\n|2|bad value for --fault: access=0
|world fault nosuch\n|2|line 1: bad value for world fault: nosuch
|wait 1\nworld fault access 0x3\n|2|line 2: bad value for world fault access: 0x3
--install 5.1|wait 1\n|2|line 1: with --install a script holds answers to message boxes only
--install 5.1 -- #5||2|--install runs no program
--install 5.1 --screen vga|answer ok\n|1|line 1: no message box came up to answer
--install 5.1|answer yes\n|1|line 1: the message box has no such button
EOF
current=install_without_script
rm -f "$work/state.txt"
timeout 60 "$sim" --state "$work/state.txt" --install 5.1 </dev/null >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "exit 2 expected"
err_has '--install needs --script'

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "every trace case passed"
