#!/usr/bin/env bash
# What the Orca screen reader says while a person types into the browser program and opens and
# closes Help, in Chromium or Firefox: its speech, as Orca's debug log records it.
#   orca_session_test.sh chromium|firefox SITE-DIR SCREENSHOT-DIR
set -euo pipefail
browser=$1 site=$2 shots=$3
mode=orca-$browser
mkdir -p "$shots"
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/session_lib.sh
source "$here/../e2e/session_lib.sh"
start_accessibility_bus "$0" "$@"
work=$(mktemp -d)
# A browser's helpers may still write into its profile as it goes: what is left is no failure.
trap 'cleanup; rm -rf "$work" 2>/dev/null || true' EXIT

start_x_server "$shots/$mode-xvfb.txt"
start_openbox
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port" >/dev/null 2>&1 &
children+=($!)
log=$work/orca-debug.txt
mkdir "$work/home"
start_orca "$log" "$work/home"

mkdir "$work/profile"
url=http://127.0.0.1:$port/
case $browser in
    chromium)
        sandbox=()
        [ "$(id -u)" -eq 0 ] && sandbox=(--no-sandbox)
        chromium "${sandbox[@]}" --force-renderer-accessibility --no-first-run \
            --no-default-browser-check --disable-background-networking --disable-component-update \
            --disable-sync --password-store=basic --user-data-dir="$work/profile" \
            --window-size=1000,700 --window-position=0,0 "$url" >"$shots/$mode-browser.txt" 2>&1 &
        ;;
    firefox)
        # Nothing that waits for a network; Firefox's accessibility follows Orca's on the bus.
        for pref in 'browser.shell.checkDefaultBrowser", false' 'browser.aboutwelcome.enabled", false' \
            'datareporting.policy.dataSubmissionEnabled", false' 'app.update.auto", false' \
            'toolkit.telemetry.reportingpolicy.firstRun", false' 'app.normandy.enabled", false' \
            'browser.startup.homepage_override.mstone", "ignore"' 'network.connectivity-service.enabled", false' \
            'network.captive-portal-service.enabled", false' 'browser.translations.enable", false'; do
            echo "user_pref(\"$pref);" >>"$work/profile/user.js"
        done
        MOZ_CRASHREPORTER_DISABLE=1 firefox-esr --no-remote --profile "$work/profile" \
            --width 1000 --height 700 "$url" >"$shots/$mode-browser.txt" 2>&1 &
        ;;
esac
children+=($!)

spoken() { sed -nE "s/^.*SPEECH OUTPUT: '(.*)' ?\{'established.*$/\1/p" "$log" | sed 's/ *$//'; }
heard=0
# Waits until a line after the last step matches REGEX; what was said meanwhile is kept.
said() {  # REGEX
    for _ in $(seq 300); do
        spoken | tail -n +"$((heard + 1))" | grep -qE -- "$1" && return 0
        sleep 0.1
    done
    return 1
}
step() {  # XDOTOOL-ARGUMENTS...: a key or typing, heard from now on
    heard=$(spoken | wc -l)
    xdotool "$@"
}
since_step() { spoken | tail -n +"$((heard + 1))"; }

# Until Orca has said all it will for now: a second with nothing new.
quiet() {
    local count=-1
    for _ in $(seq 10); do
        [ "$(spoken | wc -l)" == "$count" ] && return
        count=$(spoken | wc -l)
        sleep 1
    done
}

said '^Typing' || true
check "the page is read with the keys in the typing box" yes "$(said '^Typing' && echo yes || echo no)"
# What the page's load makes Orca say ("Loading. Please wait." in Chromium, at times after the
# page) is said first.
quiet
# One key at a time, each heard out: a key press cuts a polite message short, as it would for
# a person who types on before the piece is said.
transcript=()
for key in h i e e; do
    step type "$key"
    said "^(\|\|=\|\||!|exclaim|3)$" || true
    transcript+=("$(since_step | paste -sd'|')")
done
check "each key, then its piece, a repeated piece again" "h|||=|||i|exclaim|e|3|e|3" \
    "$(printf '%s|' "${transcript[@]}" | sed 's/|$//')"

step key Tab Tab Tab
said '^Help' || true
step key Return
said 'How to use Zentrovax' || true
screenshot help "$(xdotool getactivewindow)"
quiet
since_step >"$shots/$mode-help.txt"
check "opening Help reads its title and its message, once" "1 1" \
    "$(since_step | grep -c 'How to use Zentrovax') $(since_step | grep -c 'This program allows you to type regularly')"
step key Return
said '^Typing' || true
sleep 1
check "closing Help says no piece again" "" "$(since_step | grep -xE '(\|\|=\|\||exclaim|3)' || true)"
step type a
said '^4$' || true
check "typing goes on after Help" yes "$(since_step | grep -qx 4 && echo yes || echo no)"
spoken >"$shots/$mode-spoken.txt"
summary
