#!/usr/bin/env bash
# The program on Wayland, natively (Qt's wayland platform), under a headless sway: keys typed
# with wtype, the buttons driven from the keyboard (the headless seat has no pointer), the
# output read back with wl-paste, a screenshot at scale 2 with grim. sway refuses to run as
# root: as root, the compositor and every client run as nobody, from a runtime folder of its own
# that holds a copy of the program (the clone may lie where nobody cannot enter); as anyone else,
# they run as that user.
#   wayland_session_test.sh PROGRAM SCREENSHOT-DIR
set -euo pipefail
program=$1 shots=$2
mode=wayland
mkdir -p "$shots"
# shellcheck source=session_lib.sh
source "$(dirname "$0")/session_lib.sh"

runtime=$(mktemp -d)
trap 'cleanup; rm -rf "$runtime"' EXIT
cat >"$runtime/sway.conf" <<'CONF'
output HEADLESS-1 resolution 1280x800 scale 2
CONF
as_nobody=()
if [ "$(id -u)" -eq 0 ]; then
    cp "$program" "$runtime/zentrovax"
    program=$runtime/zentrovax
    chown -R nobody "$runtime"
    as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
as_user() {
    local sockets=("$runtime"/sway-ipc.*.sock)
    # exec: started in the background, the pid the script holds is the program's own.
    exec "${as_nobody[@]}" \
        env -i HOME="$runtime" XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-1 \
        SWAYSOCK="${sockets[0]}" PATH=/usr/bin:/bin \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" LSAN_OPTIONS="${LSAN_OPTIONS:-}" \
        UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" "$@"
}
(as_user WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$runtime/sway.conf" >"$runtime/sway.log" 2>&1) &
children+=($!)
for _ in $(seq 100); do [ -S "$runtime/wayland-1" ] && break; sleep 0.1; done
# One virtual keyboard for the whole session: a new one per command loses the first keys.
(as_user wtype -s 86400000 x) &
children+=($!)
sleep 0.5

(as_user QT_QPA_PLATFORM=wayland "$program" >"$shots/$mode-stdout.txt" 2>"$runtime/stderr") &
app=$!
for _ in $(seq 100); do
    (as_user swaymsg -t get_tree 2>/dev/null) | grep -q '"name": "Zentrovax"' && break
    sleep 0.1
done
sleep 1
keys() { (as_user wtype "$@"); sleep 0.3; }
copy_output() {  # from Pause: back past the disabled capture box to the output, copy it all
    keys -M shift -k Tab -m shift
    (as_user wl-copy --clear)
    keys -M ctrl a -m ctrl -M ctrl c -m ctrl
    local copied=""
    for _ in $(seq 50); do
        copied=$( (as_user wl-paste --no-newline) 2>/dev/null || true)
        [ -n "$copied" ] && break
        sleep 0.1
    done
    echo "$copied"
}

keys 'leet speak'
(as_user grim "$runtime/typed.png") && cp "$runtime/typed.png" "$shots/$mode-typed.png"
keys -k Tab -k space   # Tab to Pause and press it
check "typing at once, read back through the clipboard" '1337 5|O34|<' "$(copy_output)"
keys -k Tab -k Tab -k space   # Resume
keys 'a'
keys -k Tab -k Tab -k Tab -k space   # Help
help_shown=no
for _ in $(seq 100); do
    (as_user swaymsg -t get_tree) | grep -q '"name": "How to use Zentrovax"' && help_shown=yes && break
    sleep 0.1
done
check "help message box shown" yes "$help_shown"
keys -k Return
keys 'b'
keys -k Tab -k space
check "Resume, Help and typing on, all from the keyboard" '1337 5|O34|<48' "$(copy_output)"

(as_user swaymsg kill) >/dev/null
wait_for_exit "$app"
check "closing the window ends the program with code 0" 0 "$exit_status"
check "nothing on stderr" "" "$(grep -v 'XDG_RUNTIME_DIR' "$runtime/stderr" || true)"
summary
