#!/usr/bin/env bash
# What the Orca screen reader says while a person starts the program and types: its speech, as
# Orca's debug log records it (no sound device is needed for that).
#   orca_session_test.sh PROGRAM SCREENSHOT-DIR
set -euo pipefail
program=$1 shots=$2
mode=orca
mkdir -p "$shots"
# shellcheck source=session_lib.sh
source "$(dirname "$0")/session_lib.sh"
start_accessibility_bus "$0" "$@"
home=$(mktemp -d)
trap 'cleanup; rm -rf "$home"' EXIT

start_x_server "$shots/$mode-xvfb.txt"
start_openbox
log="$shots/$mode-debug.txt"
start_orca "$log" "$home"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >/dev/null 2>"$shots/$mode-stderr.txt" &
children+=($!)
locate_window "$(timeout 20 xdotool search --sync --onlyvisible --name '^Zentrovax$' | head -n 1)"
for _ in $(seq 100); do grep -q "SPEECH OUTPUT: 'Typing text" "$log" && break; sleep 0.1; done
spoken() { sed -n "s/^.*SPEECH OUTPUT: '\([^']*\)'.*$/\1/p" "$log" | sed 's/ *$//'; }
# One key at a time, each heard out with its piece: a key press cuts a polite message short, as
# it would for a person who types on before the piece is said.
for key in l e e t; do
    heard=$(spoken | wc -l)
    xdotool type "$key"
    piece=$(printf '%s' "$key" | tr 'let' '137')
    for _ in $(seq 100); do spoken | tail -n +"$((heard + 1))" | grep -qx "$piece" && break; sleep 0.1; done
done

check "at start: the frame, then the box the keys go to" "Zentrovax frame.|Typing text." \
    "$(spoken | grep -E '^(Zentrovax frame|Typing text|Leet output|read only)' | paste -sd'|')"
check "typing: each key, then its leet" "l|1|e|3|e|3|t|7" \
    "$(spoken | sed -n '/^Typing text/,$p' | grep -v '^What you type' | sed 1d | head -n 8 |
        paste -sd'|')"
summary
