#!/usr/bin/env bash
# Started with no display, or a display that is not there, the program says so in one line on
# stderr and exits with code 1 instead of aborting.
set -uo pipefail
program=$1
failures=0
for display in "" ":4093"; do
    err=$(mktemp)
    if [ -z "$display" ]; then
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>"$err"
    else
        env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=$display "$program" 2>"$err"
    fi
    status=$?
    lines=$(grep -c . "$err")
    if [ "$status" -eq 1 ] && [ "$lines" -eq 1 ] && grep -q 'cannot open a display' "$err"; then
        echo "ok: DISPLAY='$display' -> $(cat "$err")"
    else
        echo "FAILED: DISPLAY='$display': exit $status, $lines lines on stderr:"
        cat "$err"
        failures=$((failures + 1))
    fi
    rm -f "$err"
done
# A platform whose plugin is missing is named, not blamed on the display.
err=$(mktemp)
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=nosuchplatform "$program" 2>"$err"
status=$?
if [ "$status" -eq 1 ] && [ "$(grep -c . "$err")" -eq 1 ] &&
    grep -q 'cannot start: Could not find the Qt platform plugin "nosuchplatform"' "$err"; then
    echo "ok: a missing platform plugin -> $(cat "$err")"
else
    echo "FAILED: a missing platform plugin: exit $status:"
    cat "$err"
    failures=$((failures + 1))
fi
rm -f "$err"
echo "$((3 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
