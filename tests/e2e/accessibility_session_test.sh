#!/usr/bin/env bash
# The program as a screen reader meets it: a private D-Bus session with the AT-SPI bus, the
# program with Qt's accessibility bridge on, and pyatspi listening as Orca would while keys are
# typed and the output is clicked.
#   accessibility_session_test.sh PROGRAM SCREENSHOT-DIR
set -euo pipefail
program=$1 shots=$2
mode=accessibility
mkdir -p "$shots"
# shellcheck source=session_lib.sh
source "$(dirname "$0")/session_lib.sh"
start_accessibility_bus "$0" "$@"

start_x_server "$shots/$mode-xvfb.txt"
start_openbox

start_probe_then_program "$(dirname "$0")/accessibility_probe.py" "$program"

# Enough output for the box to keep it in several blocks; then Pause, an edit at the end (which
# joins the blocks), Resume (which cuts them again), a click into the output while capturing,
# and one more key.
typed=$(printf 'leet speak %.0s' $(seq 200))
xdotool type --delay 2 "$typed"
sleep 1
pause
click_at 150 60
xdotool key ctrl+End
type_keys 'x'
resume
click_at 150 60
type_keys 'a'
stop_probe
translated=$(printf '%s' "$typed" | "$program" --translate)

check "the window is a frame named Zentrovax" "frame:Zentrovax" "$(finding window)"
check "the window describes how to use it" True "$(finding description)"
check "the output box is named and described" True "$(finding 'box:Leet output')"
check "the capture box is named and described" True "$(finding 'box:Typing')"
check "focus is announced where the keys go: the capture box, and the output only while paused" \
    "Leet output|Pause|Resume|Typing" "$(finding focused)"
check "the focused object is the capture box" Typing "$(finding focused_now)"
check "the output's accessible text is the text as copied, cuts left out" \
    "${translated}x4" "$(finding output)"
check "its character count agrees" "${#translated}" "$(( $(finding characters) - 2 ))"
check "one insert per piece and per edit, nothing from cutting or joining blocks" \
    "${translated}x4 True 0" \
    "$(finding output_inserted) $(finding output_inserts_at_end) $(finding output_deletes)"
check "the caret is reported at the user's offsets" "$(( ${#translated} + 1 ))" "$(finding max_caret)"
check "each piece reaches the screen reader on the focused box" "${translated}4" \
    "$(finding capture_inserted)"
summary
