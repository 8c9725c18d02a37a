#!/usr/bin/env bash
# Editing a long output through the real window, as a person does: Undo and Redo on 100 KB, with
# the text read back through the clipboard after each, and random edits followed by a screen
# reader that knows the text only from the events it is sent.
#   editing_session_test.sh PROGRAM SCREENSHOT-DIR
set -euo pipefail
program=$1 shots=$2
mode=editing
mkdir -p "$shots"
# shellcheck source=session_lib.sh
source "$(dirname "$0")/session_lib.sh"
start_accessibility_bus "$0" "$@"

start_x_server "$shots/$mode-xvfb.txt"
start_openbox
start_probe_then_program "$(dirname "$0")/editing_probe.py" "$program"

# The program takes the X events in order: whatever is read back after keys sees them done.
paste_text() {
    printf '%s' "$1" | xclip -selection clipboard
    wait_until 5 test "$(xclip -o -selection clipboard 2>/dev/null)" == "$1" || true
    xdotool key ctrl+v
}
read_output() {  # the whole text through the clipboard, leaving the caret at the end
    local unset=$RANDOM-not-copied-yet
    echo -n "$unset" | xclip -selection clipboard
    wait_until 5 test "$(xclip -o -selection clipboard 2>/dev/null)" == "$unset" || true
    xdotool key ctrl+a ctrl+c
    wait_until 10 test "$(xclip -o -selection clipboard 2>/dev/null)" != "$unset" || true
    xclip -o -selection clipboard
    xdotool key ctrl+End
}
press_times() {  # KEY COUNT
    local keys=()
    for _ in $(seq "$2"); do keys+=("$1"); done
    xdotool key --delay 80 "${keys[@]}"
}
undo() { press_times ctrl+z "$1"; }
redo() { press_times ctrl+shift+z "$1"; }

# A long paste into a short output: one Ctrl+Z takes it all back, Ctrl+Shift+Z brings it back.
type_keys 'leet speak'
pause
click_at 150 60
short=$(read_output)
paste_text "$(yes '|_|/\/\ 7||=||3 q|_|!((|< 8|20\/\/|\| |=0>< ' | head -c 100000)"
long=$(read_output)
undo 1
check "the first Ctrl+Z takes a 100 KB paste back" "$short" "$(read_output)"
redo 1
check "Ctrl+Shift+Z at once brings it back" yes "$([ "$(read_output)" == "$long" ] && echo yes)"

# Resume keeps it, so that the next Pause starts with 100 KB.
resume
pause
click_at 150 60
at_pause=$(read_output)
check "the output holds 100 KB at the Pause" 100012 "${#at_pause}"

xdotool key ctrl+Home
press_times Down 40
xdotool key End
type_keys 'MID'
typed=$(read_output)
check "MID typed 3,000 characters in" yes "$([[ $typed == *MID* ]] && echo yes)"
undo 1
check "one Ctrl+Z takes all of MID back" yes "$([ "$(read_output)" == "$at_pause" ] && echo yes)"
redo 1
check "Ctrl+Shift+Z brings MID back" yes "$([ "$(read_output)" == "$typed" ] && echo yes)"

paste_text "$(yes 'pasted at the end ' | head -c 125000)"
pasted=$(read_output)
check "125 KB pasted at the end" $((${#typed} + 125000)) "${#pasted}"
undo 1
check "the first Ctrl+Z takes the paste back" yes "$([ "$(read_output)" == "$typed" ] && echo yes)"
redo 1
check "Ctrl+Shift+Z at once brings the paste back" yes \
    "$([ "$(read_output)" == "$pasted" ] && echo yes)"

xdotool key BackSpace BackSpace BackSpace
edited=$(read_output)
screenshot edited
undo 6
check "undoing every edit gives back the text at the Pause" yes \
    "$([ "$(read_output)" == "$at_pause" ] && echo yes)"
redo 6
check "redoing them all gives back the edited text" yes \
    "$([ "$(read_output)" == "$edited" ] && echo yes)"

# Random edits anywhere, the same every run: clicks, typing, newlines, deletions, selections
# typed over, undo and redo, scrolling.
RANDOM=17
for _ in $(seq 60); do
    case $((RANDOM % 9)) in
        0) click_at $((10 + RANDOM % 280)) $((10 + RANDOM % 140)) ;;
        1) xdotool type --delay 20 "ab |<" ;;
        2) xdotool key Return ;;
        3) xdotool key BackSpace BackSpace ;;
        4) xdotool key Delete ;;
        5) xdotool key shift+Right shift+Right shift+Down && xdotool type "x" ;;
        6) xdotool key ctrl+z ;;
        7) xdotool key ctrl+shift+z ;;
        8) xdotool key Page_Up ;;
    esac
    sleep 0.1  # a person's pace between edits
done
final=$(read_output)
stop_probe
escaped=${final//$'\n'/\\n}
check "the screen reader rebuilt the text from the events alone" yes \
    "$([ "$(finding rebuilt)" == "$escaped" ] && echo yes)"
check "every deletion it was told named the text it took away" "" "$(finding misheard)"
check "the accessible text is the text as copied" yes \
    "$([ "$(finding accessible)" == "$escaped" ] && echo yes)"
summary
