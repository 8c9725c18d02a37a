#!/usr/bin/env bash
# The built program as a person uses it: a real X server (Xvfb), with or without a window
# manager, keys typed with xdotool, clicks at the buttons' places on screen, and the output read
# back through the real clipboard.
#   session_test.sh PROGRAM CLOSE-WINDOW-HELPER bare|openbox SCREENSHOT-DIR
set -euo pipefail
program=$1 close_window=$2 mode=$3 shots=$4
mkdir -p "$shots"

# shellcheck source=session_lib.sh
source "$(dirname "$0")/session_lib.sh"

start_x_server "$shots/$mode-xvfb.txt"
[ "$mode" == openbox ] && start_openbox

# Without a window manager, the platform list starts with one that is not there: Qt falls back
# to X11, and its warning keeps its category.
platforms=xcb
[ "$mode" == bare ] && platforms='nosuchplatform;xcb'
QT_QPA_PLATFORM=$platforms "$program" >"$shots/$mode-stdout.txt" 2>"$shots/$mode-stderr.txt" &
app=$!
locate_window "$(timeout 20 xdotool search --sync --onlyvisible --name '^Zentrovax$' | head -n 1)"
# Keys go to the window with the focus: until it has it, typing would go nowhere.
wait_until 10 test "$(xdotool getwindowfocus 2>/dev/null)" == "$window" || true

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

check_keys_focus_rule_and_tab '1337 5|O34|xy4'
resume
check_help_in_both_modes '1337 5|O34|xy48((3'
screenshot paused

if [ "$mode" == bare ]; then
    check "a replayed warning keeps its category" \
        'qt.qpa.plugin: Could not find the Qt platform plugin "nosuchplatform" in ""' \
        "$(grep -m 1 nosuchplatform "$shots/$mode-stderr.txt")"
    # As a tiling window manager does: a size other than the one the program asked for. The
    # window stays black right of the centred client area, where the capture box lies.
    xdotool windowsize "$window" 1020 741
    wait_until 5 test "$(xwininfo -id "$window" | awk '/Width:/ {print $2}')" == 1020 || true
    screenshot forced-size
    check "the capture box stays out of view at a forced size" 0 \
        "$(convert "$shots/$mode-forced-size.png" -crop 353x186+667+277 +repage \
            -format '%[fx:int(255*maxima)]' info:)"
fi

# Closing the window ends the program at once with code 0, asking nothing.
"$close_window" "$window"
wait_for_exit "$app"
check "closing the window ends the program with code 0" 0 "$exit_status"

summary
