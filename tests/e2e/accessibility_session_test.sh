#!/usr/bin/env bash
# The program as a screen reader meets it: a private D-Bus session with the AT-SPI bus, the
# program with Qt's accessibility bridge on, and pyatspi listening as Orca would while keys are
# typed and the output is clicked.
#   accessibility_session_test.sh PROGRAM SCREENSHOT-DIR
set -euo pipefail
if [ -z "${ZENTROVAX_IN_DBUS_SESSION:-}" ]; then
    exec env ZENTROVAX_IN_DBUS_SESSION=1 dbus-run-session -- "$0" "$@" 2>/dev/null
fi
program=$1 shots=$2
mode=accessibility
mkdir -p "$shots"
source "$(dirname "$0")/session_lib.sh"

/usr/libexec/at-spi-bus-launcher --launch-immediately &
children+=($!)
start_x_server "$shots/$mode-xvfb.txt"
start_openbox

# The listener is up before the program starts, so start-up's focus events are heard too.
probe_output=$(mktemp)
/usr/bin/python3 "$(dirname "$0")/accessibility_probe.py" 8 >"$probe_output" 2>&1 &
probe=$!
sleep 1
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >/dev/null 2>"$shots/$mode-stderr.txt" &
children+=($!)
locate_window "$(timeout 20 xdotool search --sync --onlyvisible --name '^Zentrovax$' | head -n 1)"
sleep 1
type_keys 'leet'
click_at 150 60   # into the output, while capturing: the keys stay with the capture box
type_keys 'a'
wait "$probe" || true
finding() { sed -n "s/^$1=//p" "$probe_output"; }

check "the window is a frame named Zentrovax" "frame:Zentrovax" "$(finding window)"
check "the window describes how to use it" True "$(finding description)"
check "the output box is named and described" True "$(finding 'box:Leet output')"
check "the capture box is named and described" True "$(finding 'box:Typing')"
check "focus is announced only where the keys go" "Typing" \
    "$(finding focused | tr '|' '\n' | sort -u | paste -sd'|')"
check "the focused object is the capture box" Typing "$(finding focused_now)"
check "the output's accessible text is what was typed, in leet" 13374 "$(finding output)"
summary
