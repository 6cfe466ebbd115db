#!/usr/bin/env bash
# The simulated handheld's script mode, run as a user runs it: each case gives a
# script and what the printed screens, the exit code and the state file must
# then show.
set -uo pipefail
sim=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# run_again NAME EXPECTED-EXIT SCRIPT [tavil-sim arguments]: on the state file
# the last run left; output in $work/out, $work/err
run_again() {
    local name=$1 expected=$2 script=$3
    shift 3
    printf '%b' "$script" >"$work/script.txt"
    timeout 60 "$sim" --state "$work/state.txt" --script "$work/script.txt" "$@" \
        >"$work/out" 2>"$work/err"
    check_exit "$name" "$?" "$expected"
}

# run: the same on a handheld fresh from the factory
run() {
    rm -f "$work/state.txt"
    run_again "$@"
}

# check_exit NAME STATUS EXPECTED
check_exit() {
    if [ "$2" -ne "$3" ]; then
        echo "FAIL $1: exit $2, expected $3"; cat "$work/err"; failures=$((failures + 1))
    fi
    current=$1
}

# state_has [!] LINE: the state file holds that whole line (with !: does not)
state_has() {
    local negate=0
    if [ "$1" = "!" ]; then negate=1; shift; fi
    if grep -qxF -- "$(printf '%b' "$1")" "$work/state.txt" 2>/dev/null; then found=1; else found=0; fi
    if [ "$found" -eq "$negate" ]; then
        echo "FAIL $current: ${negate/1/no }state line '$1' expected"; failures=$((failures + 1))
    fi
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

# An entry chosen by its text or its place; a menu left by any other line chooses nothing.
run choose_by_text 0 'tap\nchoose "Питание"\nwait 1\nok\ntap\nchoose "Разгон > Предел > 624 МГц"\nwait 1\ntap\nshow\n'
expect '== Dialog: Питание'
expect '"624 МГц" 10062 checked'
expect '(closed without a choice)'
# A text that more than one entry has names them all, and chooses none.
run choose_text_of_two 1 'tap\nchoose "Память"\n'
expect 'line 2: the menu has 2 entries "Память": Сведения > Память (10070), Настройки > Значок > Память (10091)'
state_saved no
run choose_text_of_top_and_limit 1 'tap\nchoose "624 МГц"\n'
expect 'line 2: the menu has 2 entries "624 МГц": 624 МГц (10006), Разгон > Предел > 624 МГц (10062)'
expect ! 'core 624 MHz'

# Another program writes the CCCR: within a second or two the preset's is back.
run world_cccr 0 'wait 1\nworld cccr 0x2000108\nwait 2\nshow\n' '#5'
expect 'CCCR       0x2000290'
expect 'core 520 MHz'

# Another program's load, and the 8 MB it takes and gives back (the handheld has 23 MB free).
run world_load_memory 0 'world load 50\nworld memory take\nwait 1\nshow\nworld memory give\nwait 1\nshow\n'
expect 'Load       50 %'
expect '64 MB, 15 MB free'
sed -n '/^== Device/h; /^== Device/!H; ${x;p}' "$work/out" >"$work/last" && mv "$work/last" "$work/out"
expect '64 MB, 23 MB free'
run world_memory_not_taken 1 'world memory give\n'
expect 'no memory was taken to give back'
run world_load_out_of_range 2 'world load 101\n'
expect 'bad value for world load: 101'

# A second copy hands its preset to the running one.
run second_copy 0 'wait 1\nsecond "#3"\nwait 1\nshow\n'
expect 'core 312 MHz'
# A second copy without a preset opens the running copy's menu.
run second_copy_no_preset 0 'wait 1\nsecond ""\nchoose "Сведения > Питание"\nwait 1\nshow\n'
expect '== Menu =='
expect '== Dialog: Питание'

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

# Autostart lasts from one run to the next: its Startup shortcut is kept with the state.
run autostart_on 0 'tap\nchoose "Автостарт"\nquit\n'
state_has '\\Windows\\StartUp\\Tavil.lnk\t\\Windows\\Tavil.exe'
run_again autostart_kept 0 'tap\nchoose "Автостарт"\n'
expect '"Автостарт" 10110 checked'
state_has ! '\\Windows\\StartUp\\Tavil.lnk\t\\Windows\\Tavil.exe'
run_again autostart_off_kept 0 'tap\n'
expect '"Автостарт" 10110'
expect ! '"Автостарт" 10110 checked'

# A VGA handheld ships in its VGA mode: 192 logical pixels per inch. Without the
# PureVGA resources only VGA can be chosen; with them PureVGA, whose 96 the
# state keeps for the next run.
run vga 0 'tap\nshow\n' --screen vga
expect 'Screen     480 x 640'
expect '"QVGA" 10081 greyed'
expect '"VGA" 10082 checked'
expect '"PureVGA" 10083 greyed'
state_has 'Drivers\\Display\\GPE\tLogicalPixelsX\t4\tc0000000'
state_has ! '\\Windows\\shellres.96.dll'
run vga_pure_vga 0 'tap\nchoose "PureVGA"\nanswer yes\n' --screen vga --pure-vga
expect ! '"PureVGA" 10083 greyed'
expect 'Установить режим PureVGA и выполнить перезагрузку ?'
state_has 'Drivers\\Display\\GPE\tLogicalPixelsX\t4\t60000000'
state_has '\\Windows\\shellres.96.dll'
run_again pure_vga_kept 0 'tap\nchoose "VGA"\nanswer yes\n' --screen vga
expect '"PureVGA" 10083 checked'
expect 'Установить режим VGA и выполнить перезагрузку ?'
state_has 'Drivers\\Display\\GPE\tLogicalPixelsX\t4\tc0000000'
run qvga 0 'tap\n'
expect '"VGA" 10082 greyed'
expect '"PureVGA" 10083 greyed'
state_has ! 'Drivers\\Display\\GPE\tLogicalPixelsX\t4\tc0000000'

# A state file written before state files had a header still loads: its View 2
# is the load icon's entry.
printf 'SOFTWARE\\Dunmar\\Tavil\tView\t4\t02000000\n' >"$work/state.txt"
run_again old_state_file 0 'tap\n'
expect '"Загрузка" 10090 checked'
state_has 'SOFTWARE\\Dunmar\\Tavil\tView\t4\t02000000'
[ "$(head -n 1 "$work/state.txt")" = "# tavil-sim state: the handheld's registry and files" ] ||
    { echo "FAIL old_state_file: saved without its header"; failures=$((failures + 1)); }

# A file that is not a state file is refused before anything runs, and left
# byte for byte as it was.
refused() {
    local name=$1 file=$2 message=$3
    cp -a "$file" "$work/before" 2>/dev/null || cp -a "$file/." "$work/before"
    timeout 60 "$sim" --state "$file" --script "$work/script.txt" >"$work/out" 2>"$work/err"
    check_exit "$name" "$?" 2
    expect "$message"
    expect ! '== Device'
    if [ -f "$file" ] && ! cmp -s "$file" "$work/before"; then
        echo "FAIL $name: the refused file was changed"; failures=$((failures + 1))
    fi
    rm -rf "$work/before"
}
printf 'tap\nquit\n' >"$work/script.txt"
printf 'SOFTWARE\\Dunmar\\Tavil\tView\t4\t02000000\nNotes:\tbuy milk\nzebra\napple\napple\n' >"$work/notes.txt"
refused not_a_state_file "$work/notes.txt" "$work/notes.txt is not a state file (line 2: not a registry key or value); it is left as it is"
printf '\xff\xfe\x00\x01binary\n' >"$work/binary.dat"
refused binary_file "$work/binary.dat" 'is not a state file (line 1:'
printf "# tavil-sim state: the handheld's registry and files\n\\\\Windows\\\\Bad.lnk\t\n" >"$work/bad-shortcut.txt"
refused shortcut_without_target "$work/bad-shortcut.txt" '(line 2: not a file'
mkdir -p "$work/folder"
refused folder "$work/folder" 'the state file '"$work"'/folder: it cannot be read'
timeout 60 "$sim" --state "$work/no/such/folder/state.txt" --script "$work/script.txt" >"$work/out" 2>"$work/err"
check_exit missing_folder "$?" 2
expect "no folder $work/no/such/folder"

# Relative paths are the user's: taken from the folder the command runs in.
mkdir -p "$work/here"
printf 'tap\nchoose "Автостарт"\n' >"$work/here/script.txt"
(cd "$work/here" && timeout 60 "$sim" --state state.txt --script script.txt >"$work/out" 2>"$work/err")
check_exit relative_paths "$?" 0
grep -qF 'Tavil.lnk' "$work/here/state.txt" 2>/dev/null ||
    { echo "FAIL relative_paths: no state file in the folder the command ran in"; failures=$((failures + 1)); }

# run.sh builds in the repository but runs the program in the user's folder:
# here in a copy whose install, build and program are stand-ins.
fake=$work/fake-repository
mkdir -p "$fake/scripts" "$fake/build/host-release" "$fake/bin"
cp "$(dirname "$0")/../../scripts/run.sh" "$fake/scripts/"
printf '#!/bin/sh\n' >"$fake/scripts/install-dependencies.sh"
printf '#!/bin/sh\n' >"$fake/bin/cmake"
printf '#!/bin/sh\necho "ran in $(pwd) with $*"\n' >"$fake/build/host-release/tavil-sim"
chmod +x "$fake/scripts/install-dependencies.sh" "$fake/bin/cmake" "$fake/build/host-release/tavil-sim"
ran=$(cd "$work/here" && PATH="$fake/bin:$PATH" bash "$fake/scripts/run.sh" --state state.txt '#5')
[ "$ran" = "ran in $work/here with --state state.txt #5" ] ||
    { echo "FAIL run_sh_folder: $ran"; failures=$((failures + 1)); }

# The state file's default place is the user's state folder.
default_place() {
    local name=$1 expected=$2
    shift 2
    rm -rf "$work/home" "$work/xdg"
    (cd "$work/here" && env -u XDG_STATE_HOME -u TAVIL_REGISTRY "$@" timeout 60 "$sim" --script script.txt \
        >"$work/out" 2>"$work/err")
    check_exit "$name" "$?" 0
    [ -f "$expected" ] || { echo "FAIL $name: no state file $expected"; failures=$((failures + 1)); }
}
default_place xdg_state_home "$work/xdg/tavil/state.txt" XDG_STATE_HOME="$work/xdg" HOME="$work/home"
default_place home "$work/home/.local/state/tavil/state.txt" HOME="$work/home"
default_place relative_xdg_state_home "$work/home/.local/state/tavil/state.txt" XDG_STATE_HOME=xdg HOME="$work/home"
default_place tavil_registry "$work/here/chosen.txt" TAVIL_REGISTRY=chosen.txt HOME="$work/home"
[ ! -e "$work/home/.local/state/tavil/state.txt" ] ||
    { echo "FAIL tavil_registry: the default file was written too"; failures=$((failures + 1)); }

# TAVIL_PROCESSOR is read as --processor is.
printf 'show\n' >"$work/script.txt"
TAVIL_PROCESSOR=pxa25x timeout 60 "$sim" --state "$work/state.txt" --script "$work/script.txt" >"$work/out" 2>"$work/err"
check_exit processor_from_environment "$?" 0
expect 'Processor  PXA255'
for value in pxa270 PXA27X ' none'; do
    TAVIL_PROCESSOR=$value timeout 60 "$sim" --state "$work/state.txt" --script "$work/script.txt" >"$work/out" 2>"$work/err"
    check_exit "bad_processor_from_environment($value)" "$?" 2
    expect "bad value for TAVIL_PROCESSOR: $value"
    expect ! '== Device'
done

# The current changes sign as soon as power is plugged in or pulled.
run power_current 0 'world power on\nshow\nworld power off\nshow\n'
expect 'Battery    87 %, 450 mA'
sed -n '/^Power      external/,$p' "$work/out" >"$work/last" && mv "$work/last" "$work/out"
expect 'Battery    87 %, -210 mA'

# The help viewer runs as a process of its own, named with its page.
run help_process 0 'tap\nchoose 10072\nwait 1\nshow\n'
expect 'Help       resources/tavil.htm#Main_Contents in peghelp.exe, process 0x5000'

# Message boxes speak the handheld's language and mark the default button.
run box_buttons 0 'tap\nchoose 10111\nanswer no\n'
expect '[Да]  [[Нет]]'

# The About dialog shows its icon, not the icon's number.
run about_icon 0 'tap\nchoose 10073\nwait 1\nshow\n'
expect '  [icon]'
expect 'dunmar.example/tavil'
expect ! '#100'

# A restart ends the program's process; with autostart on, the Startup folder
# starts it again; a full reset removes the shortcut, so it stays ended.
run restart_autostart 0 'tap\nchoose 10110\ntap\nchoose 10111\nanswer yes\nwait 2\nshow\n'
expect 'Tavil      running, process 0x5000, started by the Startup folder'
expect 'Restarts   1, the last a warm one'
run restart_without_autostart 0 'tap\nchoose 10111\nanswer yes\nwait 2\nshow\n'
expect 'Tavil      not running: its process ended at the restart'
run full_reset 0 'tap\nchoose 10110\ntap\nchoose 10112\nanswer yes\nanswer yes\nwait 2\nshow\n'
expect 'Restarts   1, the last a full reset to the factory state'
expect 'Tavil      not running: its process ended at the restart'

# The kernel cannot be ended.
run end_kernel 1 'world end 0x03FE3002\n'
expect 'line 1:'

# Bad lines: the line named, nothing run, nothing saved.
run unknown_command 2 'wait 1\nfly away\n'
expect 'line 2: unknown command: fly'
state_saved no
run bad_value 2 '# comment\nworld cccr 0x1FFFFFFFF\n'
expect 'line 2:'
state_saved no
run unclosed_quote 2 'choose "624\n'
expect 'line 1:'
run line_after_quit 2 'wait 1\nquit\n# a comment may follow\n\nshow\n'
expect 'line 5: nothing may follow quit (line 2)'
state_saved no
run comment_after_quit 0 'wait 1\nquit\n# a comment may follow\n'
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
