#!/usr/bin/env bash
# The built program as a person uses it: a real X server (Xvfb), with or without a window
# manager, keys typed with xdotool, clicks at the buttons' places on screen, and the output read
# back through the real clipboard.
#   session_test.sh PROGRAM CLOSE-WINDOW-HELPER bare|openbox SCREENSHOT-DIR
set -euo pipefail
program=$1 close_window=$2 mode=$3 shots=$4
mkdir -p "$shots"

failures=0
check() {  # check WHAT EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1"
        echo "  expected: $(printf '%q' "$2")"
        echo "  actual:   $(printf '%q' "$3")"
        failures=$((failures + 1))
    fi
}

children=()
cleanup() {
    for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

# The X server picks a free display itself and names it once it is ready for clients.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$display_file" >"$shots/$mode-xvfb.txt" 2>&1 &
children+=($!)
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$display_file")
rm -f "$display_file"
xdpyinfo >/dev/null
if [ "$mode" == openbox ]; then
    openbox >/dev/null 2>&1 &
    children+=($!)
    for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    # Openbox announces itself before it handles map requests: a window mapped in that gap
    # stays unmapped for good (seen in about one start in five here).
    sleep 1
fi

"$program" >"$shots/$mode-stdout.txt" 2>"$shots/$mode-stderr.txt" &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zentrovax$' | head -n 1)
sleep 0.5

# Where the client area is on screen: xwininfo's absolute position is right with or without
# a frame around the window.
origin_x=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print $4}')
origin_y=$(xwininfo -id "$window" | awk '/Absolute upper-left Y/ {print $4}')
click_at() {  # client-area pixels
    xdotool mousemove $((origin_x + $1)) $((origin_y + $2)) click 1
    sleep 0.3
}
pause() { click_at 96 168; }   # centre of cmdPause
resume() { click_at 152 168; } # centre of cmdResume
help() { click_at 208 168; }   # centre of cmdHelp
type_keys() {
    xdotool type --delay 30 "$1"
    sleep 0.3
}
output_via_clipboard() {  # as a person copies it: click the output, select all, copy
    click_at 150 60
    xdotool key ctrl+a ctrl+c
    sleep 0.3
    xclip -o -selection clipboard
}
screenshot() { import -window "${2:-$window}" "$shots/$mode-$1.png" 2>/dev/null || true; }

# Typing at once, with no click, produces leet.
type_keys 'leet speak'
screenshot typed
pause
check "typing at once, read back through the clipboard" '1337 5|O34|<' "$(output_via_clipboard)"

# While paused the output is an ordinary editor: fix the end, then resume and type on.
xdotool key ctrl+End BackSpace
type_keys 'xy'
resume
type_keys 'a'
pause
check "a piece lands after the user's own edits" '1337 5|O34|xy4' "$(output_via_clipboard)"
resume

# Shift, digits, punctuation, Backspace, Enter and Ctrl+V add nothing while capturing.
echo -n 'from elsewhere' | xclip -selection clipboard
type_keys 'A1.'
xdotool key BackSpace Return ctrl+v
sleep 0.3
type_keys 'b'
# Clicking into the output while capturing hands the keyboard straight back.
click_at 150 60
type_keys 'c'
# Tab moves the focus to Pause: then typing is not translated until Resume.
xdotool key Tab
type_keys 'd'
resume
type_keys 'e'
pause
check "only table keys translate; focus rule and Tab" '1337 5|O34|xy48((3' "$(output_via_clipboard)"
resume

# Help while capturing: the fixed message, then typing goes on with no click.
help
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^How to use Zentrovax$' | head -n 1)
screenshot help "$box"
check "help message box shown" yes "$([ -n "$box" ] && echo yes || echo no)"
xdotool key Return
sleep 0.5
type_keys 'g'
# Help while paused: still paused afterwards.
pause
help
timeout 10 xdotool search --sync --onlyvisible --name '^How to use Zentrovax$' >/dev/null
xdotool key Return
sleep 0.5
type_keys 'h'
check "help in both modes; paused keys go nowhere" '1337 5|O34|xy48((36' "$(output_via_clipboard)"
screenshot paused

# Closing the window ends the program at once with code 0, asking nothing.
"$close_window" "$window"
status=0
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
    status=timeout
    kill "$app"
else
    wait "$app" || status=$?
fi
check "closing the window ends the program with code 0" 0 "$status"

echo "$((6 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
