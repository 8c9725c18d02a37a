# shellcheck shell=bash
# shots and mode are the sourcing session's; window and exit_status are set here for it to read.
# shellcheck disable=SC2154,SC2034
# What every end-to-end session shares: a private X server, a window manager, checks, clicks at
# client-area positions, typing, the clipboard and screenshots. Sourced by the session scripts.

failures=0
checks=0
check() {  # check WHAT EXPECTED ACTUAL
    checks=$((checks + 1))
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1"
        echo "  expected: $(printf '%q' "$2")"
        echo "  actual:   $(printf '%q' "$3")"
        failures=$((failures + 1))
    fi
}
summary() {
    echo "$((checks - failures)) passed, $failures failed"
    [ "$failures" -eq 0 ]
}

children=()
cleanup() {
    for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

start_x_server() {  # LOG-FILE
    # A display number of its own, at random: one just given up by an earlier session can still
    # be held by that dying server's abstract socket, and clients would reach the old server.
    local number pid
    for number in $(shuf -i 100-30000 -n 50); do
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$1" 2>&1 &
        pid=$!
        for _ in $(seq 100); do
            xdpyinfo -display ":$number" >/dev/null 2>&1 && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if xdpyinfo -display ":$number" >/dev/null 2>&1; then
            children+=("$pid")
            export DISPLAY=:$number
            return 0
        fi
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    echo "no X server could be started"
    return 1
}

# A screen reader's world: a private D-Bus session with the AT-SPI bus in it. Call with the
# script and its arguments; the script starts once more inside the session.
start_accessibility_bus() {  # SCRIPT ARGUMENTS...
    if [ -z "${ZENTROVAX_IN_DBUS_SESSION:-}" ]; then
        # A runtime folder of the session's own, as a desktop session has: the AT-SPI bus and
        # the speech server keep their sockets there, apart from any other session's.
        local runtime
        runtime=$(mktemp -d)
        local status=0
        env ZENTROVAX_IN_DBUS_SESSION=1 XDG_RUNTIME_DIR="$runtime" \
            dbus-run-session -- "$@" 2>/dev/null || status=$?
        rm -rf "$runtime"
        exit "$status"
    fi
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    children+=($!)
}

# A probe over AT-SPI, then the program with Qt's accessibility bridge on: the probe listens
# before the program starts, so start-up's events are heard too. The probe runs until
# stop_probe, then prints what it found as key=value lines, which finding() reads.
start_probe_then_program() {  # PROBE.py PROGRAM
    probe_output=$(mktemp)
    done_file=$(mktemp -u)
    /usr/bin/python3 "$1" "$done_file" >"$probe_output" 2>&1 &
    probe=$!
    wait_until 10 grep -qx listening "$probe_output"
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$2" >/dev/null 2>"$shots/$mode-stderr.txt" &
    children+=($!)
    locate_window "$(timeout 20 xdotool search --sync --onlyvisible --name '^Zentrovax$' | head -n 1)"
    sleep 1
}
stop_probe() {
    touch "$done_file"
    wait "$probe" || true
}
finding() { sed -n "s/^$1=//p" "$probe_output"; }

# Runs COMMAND every tenth of a second until it succeeds, for at most SECONDS.
wait_until() {  # SECONDS COMMAND...
    local tries=$(($1 * 10))
    shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}

# Orca, its speech written to LOG line by line, with HOME for its settings. Orca will not start
# while another Orca of the same user runs, in any session: it waits for that one to end.
start_orca() {  # LOG HOME
    for _ in $(seq 300); do pgrep -u "$(id -u)" -x orca >/dev/null || break; sleep 0.2; done
    rm -f "$1"
    HOME=$2 /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/orca_line_buffered.py" \
        --debug-file="$1" >/dev/null 2>&1 &
    children+=($!)
    for _ in $(seq 200); do grep -q 'Screen reader on' "$1" 2>/dev/null && break; sleep 0.1; done
}

start_openbox() {
    # Seen here: an openbox that fails to open a display that is up; so a few tries, each
    # checked by the property openbox sets once it runs ("window id #", not the "no such atom
    # on any window" xprop prints before).
    local pid
    for _ in 1 2 3; do
        openbox >>"$shots/$mode-openbox.txt" 2>&1 &
        pid=$!
        for _ in $(seq 100); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id #' && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null &&
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id #'; then
            children+=("$pid")
            # Openbox announces itself before it handles map requests: a window mapped in that
            # gap stays unmapped for good (seen in about one start in five here).
            sleep 1
            return 0
        fi
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    echo "openbox did not start:"
    cat "$shots/$mode-openbox.txt"
    return 1
}

# The window's client area on screen, and how many device pixels a 96-DPI pixel is.
scale_num=1 scale_den=1
locate_window() {  # WINDOW-ID
    window=$1
    origin_x=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print $4}')
    origin_y=$(xwininfo -id "$window" | awk '/Absolute upper-left Y/ {print $4}')
}
click_at() {  # X Y in client-area pixels at 96 DPI
    xdotool mousemove $((origin_x + $1 * scale_num / scale_den)) \
        $((origin_y + $2 * scale_num / scale_den)) click 1
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
    local unset=$RANDOM-not-copied-yet
    echo -n "$unset" | xclip -selection clipboard
    wait_until 5 test "$(xclip -o -selection clipboard 2>/dev/null)" == "$unset" || true
    click_at 150 60
    xdotool key ctrl+a ctrl+c
    wait_until 5 test "$(xclip -o -selection clipboard 2>/dev/null)" != "$unset" || true
    xclip -o -selection clipboard
}
help_closed() { ! xdotool search --onlyvisible --name '^How to use Zentrovax$' >/dev/null; }
screenshot() {  # NAME [WINDOW]
    import -window "${2:-$window}" "$shots/$mode-$1.png" 2>/dev/null || true
}
wait_for_exit() {  # PID: sets exit_status to its exit code, or "timeout"
    exit_status=0
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$1" 2>/dev/null; then
        kill "$1"
        exit_status=timeout
    else
        wait "$1" || exit_status=$?
    fi
}

# The part of a session every toolkit shares, after "leet speak" and an edit have left
# OUTPUT in the box and the program is capturing again. Ends paused.
# Shift, digits, punctuation, Backspace, Enter, Escape and Ctrl+V add nothing while capturing;
# clicking into the output hands the keyboard straight back; Tab moves the focus to Pause, after
# which typing is not translated until Resume.
check_keys_focus_rule_and_tab() {  # OUTPUT
    echo -n 'from elsewhere' | xclip -selection clipboard
    type_keys 'A1.'
    xdotool key BackSpace Return Escape ctrl+v
    sleep 0.3
    type_keys 'b'
    click_at 150 60
    type_keys 'c'
    xdotool key Tab
    type_keys 'd'
    resume
    type_keys 'e'
    pause
    check "only table keys translate; focus rule and Tab" "${1}8((3" "$(output_via_clipboard)"
}
# Help while capturing shows the fixed message, then typing goes on with no click; Help while
# paused leaves the program paused. Starts capturing, ends paused.
check_help_in_both_modes() {  # OUTPUT-BEFORE
    help
    local box
    box=$(timeout 20 xdotool search --sync --onlyvisible --name '^How to use Zentrovax$' | head -n 1)
    screenshot help "$box"
    check "help message box shown" yes "$([ -n "$box" ] && echo yes || echo no)"
    xdotool key Return
    wait_until 10 help_closed || true
    type_keys 'g'
    pause
    help
    timeout 20 xdotool search --sync --onlyvisible --name '^How to use Zentrovax$' >/dev/null
    xdotool key Return
    wait_until 10 help_closed || true
    type_keys 'h'
    check "help in both modes; paused keys go nowhere" "${1}6" "$(output_via_clipboard)"
}
