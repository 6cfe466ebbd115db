#!/usr/bin/env bash
# The simulated handheld's script mode, run as a user runs it: each case gives a
# script and what the printed screens, the exit code and the state file must
# then show.
set -uo pipefail
sim=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# run NAME EXPECTED-EXIT SCRIPT [tavil-sim arguments]: output in $work/out, $work/err
run() {
    local name=$1 expected=$2 script=$3
    shift 3
    rm -f "$work/state.txt"
    printf '%b' "$script" >"$work/script.txt"
    timeout 60 "$sim" --state "$work/state.txt" --script "$work/script.txt" "$@" \
        >"$work/out" 2>"$work/err"
    local status=$?
    if [ "$status" -ne "$expected" ]; then
        echo "FAIL $name: exit $status, expected $expected"; cat "$work/err"; failures=$((failures + 1))
    fi
    current=$name
}

# expect [!] TEXT: the output holds TEXT (with !: does not)
expect() {
    local negate=0
    if [ "$1" = "!" ]; then negate=1; shift; fi
    if grep -qF -- "$1" "$work/out" "$work/err"; then found=1; else found=0; fi
    if [ "$found" -eq "$negate" ]; then
        echo "FAIL $current: ${negate/1/no }'$1' expected"; failures=$((failures + 1))
    fi
}

state_saved() {
    if { [ -e "$work/state.txt" ] && [ "$1" = no ]; } || { [ ! -e "$work/state.txt" ] && [ "$1" = yes ]; }; then
        echo "FAIL $current: state file saved: expected $1"; failures=$((failures + 1))
    fi
}

# The frequency list's 624 MHz entry: L 16, 2N 6 over the upper bits kept.
run menu_walk 0 'tap\nchoose 10006\nwait 1\nshow\nquit\n'
expect '"624 МГц" 10006'
expect 'CCCR       0x2000310'
expect 'core 624 MHz'
expect ! 'tray icon left'
state_saved yes

# The same entry chosen by its text; a menu left by any other line chooses nothing.
run choose_by_text 0 'tap\nchoose "624 МГц"\nwait 1\ntap\nshow\n' '#5'
expect 'core 624 MHz'
expect '(closed without a choice)'

# Another program writes the CCCR: within a second or two the preset's is back.
run world_cccr 0 'wait 1\nworld cccr 0x2000108\nwait 2\nshow\n' '#5'
expect 'CCCR       0x2000290'
expect 'core 520 MHz'

# A second copy hands its preset to the running one.
run second_copy 0 'wait 1\nsecond "#3"\nwait 1\nshow\n'
expect 'core 312 MHz'

# The power dialog opens from the menu and its OK closes it.
run dialog 0 'tap\nchoose 10069\nwait 2\nok\nwait 1\nshow\n'
expect '== Dialog: Питание'
sed -n '/^== Device/,$p' "$work/out" >"$work/last" && mv "$work/last" "$work/out"
expect ! '== Dialog: Питание'

# Full reset asks twice; No at the first question asks nothing more.
run reset_yes 0 'tap\nchoose 10112\nanswer yes\nanswer no\nshow\n'
expect 'Вы действительно хотите выполнить полную очистку системы ?'
expect '== Message: Внимание'
run reset_no 0 'tap\nchoose 10112\nanswer no\nshow\n'
expect '== Message: Полный сброс'
expect ! 'Внимание'

# Help opens the help viewer on the help file the cabinets install, which has
# the anchor the program names.
run help_viewer 0 'wait 1\nshow\ntap\nchoose 10072\nwait 1\nshow\n'
expect 'Help       not shown'
expect 'Help       resources/tavil.htm#Main_Contents'
grep -q '<a name="Main_Contents">' "$(dirname "$0")/../../resources/tavil.htm" ||
    { echo "FAIL help_viewer: resources/tavil.htm has no Main_Contents anchor"; failures=$((failures + 1)); }

# Bad lines: the line named, nothing run, nothing saved.
run unknown_command 2 'wait 1\nfly away\n'
expect 'line 2: unknown command: fly'
state_saved no
run bad_value 2 '# comment\nworld cccr 0x1FFFFFFFF\n'
expect 'line 2:'
state_saved no
run unclosed_quote 2 'choose "624\n'
expect 'line 1:'
# Lines that cannot be carried out when they come: the program closes, nothing saved.
run choose_without_menu 1 'wait 1\nchoose 10006\n'
expect 'line 2: no menu is open'
state_saved no
run answer_without_box 1 'answer yes\n'
expect 'line 1:'
state_saved no
run deleted_entry 1 'tap\nchoose 10006\n' --processor none
expect 'line 2:'
state_saved no
# "Добавить" is greyed while the clock is one of the list's entries.
run greyed_entry 1 'tap\nchoose 10079\n'
expect 'line 2: the entry 10079 is greyed'
state_saved no
run wrong_button 1 'tap\nchoose 10112\nanswer ok\n'
expect 'line 3: the message box has no such button'

[ "$failures" -eq 0 ] && echo "script mode: all cases pass"
[ "$failures" -eq 0 ]
