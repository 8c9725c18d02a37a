#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, in a 64-bit prefix of its own (made on first
# use), on the X display there is, or on a private Xvfb with openbox when there is none: with no
# window manager, Wine spends two seconds on every window it hides.
#   wine_run.sh PROGRAM.exe [ARGUMENTS...]   run it; its exit code is the program's
#   wine_run.sh --prepare                    make the prefix now
#   wine_run.sh --stop                       stop the prefix's Wine server
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/zentrovax-wine-$(id -u)}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No offers to install Mono or Gecko: the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

prepare() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Tests may start side by side: one of them makes the prefix, the others wait for it.
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            wineboot -i >/dev/null 2>&1
            wineserver -w
        fi
    ) 9>"$WINEPREFIX.lock"
}

case "${1:-}" in
    --prepare) prepare; exit 0 ;;
    --stop) wineserver -k 2>/dev/null && wineserver -w 2>/dev/null; exit 0 ;;
    --with-openbox)
        shift
        openbox >/dev/null 2>&1 &
        for _ in $(seq 100); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id #' && break
            sleep 0.1
        done
        sleep 1  # openbox announces itself before it handles map requests
        status=0
        wine "$@" || status=$?
        kill %1 2>/dev/null || true
        exit "$status"
        ;;
    "") echo "usage: $0 PROGRAM.exe [ARGUMENTS...] | --prepare | --stop" >&2; exit 2 ;;
esac
prepare
if [ -z "${DISPLAY:-}" ]; then
    # A display number at random, for the reason the sessions give in session_lib.sh.
    exec xvfb-run -a -n "$(shuf -i 100-30000 -n 1)" -s "-screen 0 1024x768x24 -nolisten tcp" \
        "$0" --with-openbox "$@"
fi
exec wine "$@"
