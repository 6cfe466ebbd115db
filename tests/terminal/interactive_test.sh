#!/usr/bin/env bash
# The interactive mode driven through tmux as a user drives it: the icon tapped,
# 624 MHz chosen from the menu (the device panel and the icon follow), the power
# dialog opened and closed, a terminal too small and then large enough again,
# a second copy started with "#3" in another process handing its preset over,
# q ending the program with its settings saved, and a VGA PXA255 handheld
# turned sideways, and a terminal closed under an open menu. Every wait has a
# limit.
set -uo pipefail
sim=$1
work=$(mktemp -d)
session=tavil-interactive-$$
trap 'tmux kill-session -t "$session" 2>/dev/null; pkill -9 -f -- "--state $work/" 2>/dev/null; rm -rf "$work"' EXIT

export TAVIL_RUN_FOLDER=$work/run # copies of this test find each other only
tmux new-session -d -s "$session" -x 120 -y 45 \
    "TAVIL_RUN_FOLDER=$TAVIL_RUN_FOLDER $sim --state $work/state.txt; echo \"ended with \$?\"; sleep 60"

fail() { echo "FAIL: $1"; tmux capture-pane -p -t "$session"; exit 1; }

# until [!] TEXT: waits (at most 10 s) until the pane shows TEXT (with !: no longer does)
until_shown() {
    local negate=0
    if [ "$1" = "!" ]; then negate=1; shift; fi
    for _ in $(seq 100); do
        if tmux capture-pane -p -t "$session" | grep -qF -- "$1"; then found=1; else found=0; fi
        [ "$found" -ne "$negate" ] && return 0
        sleep 0.1
    done
    fail "${negate/1/no longer }'$1' on the screen"
}

icon_rows() { tmux capture-pane -p -e -t "$session" | grep '▀'; }

until_shown 'core 416 MHz'
icon_before=$(icon_rows)
tmux send-keys -t "$session" t
until_shown '624 МГц'
# From "104 МГц", the first entry, five down to "624 МГц".
tmux send-keys -t "$session" Down Down Down Down Down Enter
until_shown 'CCCR       0x2000310'
until_shown 'core 624 MHz'
[ "$(icon_rows)" != "$icon_before" ] || fail "the icon was not redrawn for 624 MHz"

# Сведения is the eighth entry; in it, Питание comes after Процессы and Процессор.
tmux send-keys -t "$session" t
until_shown 'Сведения'
tmux send-keys -t "$session" Down Down Down Down Down Down Down Right Down Down Enter
until_shown 'Источник - батарея'
until_shown 'температура: 31.2° C' # the label and its value do not run together
tmux send-keys -t "$session" o
until_shown ! 'Источник - батарея'

tmux resize-window -t "$session" -x 60 -y 20
until_shown 'the handheld needs at least'
# The message stands alone, wrapped at whole words.
! tmux capture-pane -p -t "$session" | grep -q '┌' || fail "the handheld is drawn beside the message"
until_shown 'Make it larger, or press q to end.'
tmux resize-window -t "$session" -x 120 -y 45
until_shown 'core 624 MHz'

# The second copy comes while the menu is up: the menu's loop answers it and
# delivers the preset at once, and the clock ticks on meanwhile.
tmux send-keys -t "$session" t
until_shown '624 МГц'
handed=$(timeout 10 "$sim" --state "$work/second.txt" "#3" </dev/null)
[[ "$handed" == *"handed to it"* ]] || fail "the second copy did not hand its preset over: $handed"
until_shown 'CCCR       0x2000190' # 312 MHz on the 208 MHz base
tmux send-keys -t "$session" Escape
until_shown ! '624 МГц'
[ ! -e "$work/second.txt" ] || fail "the second copy saved settings"

tmux send-keys -t "$session" q
until_shown 'ended with 0'
[ -e "$work/state.txt" ] || fail "the settings were not saved"
# A VGA handheld turned sideways: the device reports, and the panel shows, 640 x 480.
tmux kill-session -t "$session"
tmux new-session -d -s "$session" -x 200 -y 80 \
    "$sim --screen vga --processor pxa25x --state $work/vga.txt; echo \"ended with \$?\"; sleep 60"
until_shown 'Screen     480 x 640, turned 0'
until_shown 'core 400 MHz'
tmux send-keys -t "$session" r
until_shown 'Screen     640 x 480, turned 90'
until_shown 'writes CCCR: 100 MHz' # what the key writes, on this processor
tmux send-keys -t "$session" q
until_shown 'ended with 0'
# While the menu is up the panel's keys act and time goes on; the About
# dialog shows its icon and the whole address; q in the menu ends at once.
tmux kill-session -t "$session"
tmux new-session -d -s "$session" -x 120 -y 45 \
    "$sim --state $work/modal.txt; echo \"ended with \$?\"; sleep 60"
until_shown 'core 416 MHz'
tmux send-keys -t "$session" t
until_shown '624 МГц'
tmux send-keys -t "$session" l
until_shown 'Load       50 %'
tmux send-keys -t "$session" m
until_shown 'Memory     64 MB, 15 MB free'
tmux send-keys -t "$session" p
until_shown 'Battery    87 %, 450 mA'
tmux send-keys -t "$session" r
until_shown 'Screen     320 x 240, turned 90'
tmux send-keys -t "$session" r
until_shown 'Screen     240 x 320, turned 180'
tmux send-keys -t "$session" Escape
until_shown ! '624 МГц'
tmux send-keys -t "$session" t
until_shown '624 МГц'
tmux send-keys -t "$session" Down Down Down Down Down Down Down Right Up Enter
until_shown 'dunmar.example/tavil'
! tmux capture-pane -p -t "$session" | grep -q '#100' || fail "the About dialog shows #100"
tmux send-keys -t "$session" o
until_shown ! 'dunmar.example/tavil'
tmux send-keys -t "$session" t
until_shown '624 МГц'
tmux send-keys -t "$session" q
until_shown 'ended with 0'
[ -e "$work/modal.txt" ] || fail "q in the menu did not save the settings"

# A terminal that goes away while the menu is up ends the program at once.
tmux kill-session -t "$session"
tmux new-session -d -s "$session" -x 120 -y 45 "$sim --state $work/gone.txt"
until_shown 'core 416 MHz'
tmux send-keys -t "$session" t
until_shown '624 МГц'
tmux kill-session -t "$session"
for _ in $(seq 50); do
    pgrep -f -- "--state $work/gone.txt" >/dev/null || break
    sleep 0.1
done
if pgrep -f -- "--state $work/gone.txt" >/dev/null; then
    pkill -9 -f -- "--state $work/gone.txt"
    echo "FAIL: the program ran on after its terminal went away"
    exit 1
fi
echo "interactive mode: all steps pass"
