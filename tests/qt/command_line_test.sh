#!/usr/bin/env bash
# The command line as a script or a person at a terminal uses it, with no display at all:
# --help, --version, usage errors, and the --translate filter on files, standard input, bad
# bytes, unreadable files, a full disk and a closed pipe.
#   command_line_test.sh PROGRAM VERSION
set -uo pipefail
program=$1 version=$2
# shellcheck source=../e2e/session_lib.sh
source "$(dirname "$0")/../e2e/session_lib.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
run() {  # run ARGS...: no display; sets out, err, status
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >"$tmp/out" 2>"$tmp/err"
    status=$?
    out=$(cat "$tmp/out") err=$(cat "$tmp/err")
}

run --version
check "--version answers on stdout without a display" "0 zentrovax $version" "$status $out"
run --help
check "--help answers on stdout" "0 yes" "$status $(grep -q -- '--translate' <<<"$out" && echo yes)"
run --bogus
check "an unknown option: exit 2, nothing on stdout" "2 " "$status $out"
check "an unknown option: one line of error, then the usage" "zentrovax: Unknown option 'bogus'. yes" \
    "$(head -n 1 <<<"$err") $(sed -n 2p <<<"$err" | grep -q '^Usage:' && echo yes)"
run notes.txt
check "a file without --translate is a usage error" 2 "$status"

check "standard input, lines kept" "$(printf '1337 5|O34|<\n||=||!')" \
    "$(printf 'leet speak\nhi' | env -u DISPLAY "$program" --translate)"
printf 'ab\r\nc\xff\xc3\xa9d' >"$tmp/one"
printf 'zz\n' >"$tmp/two"
# od keeps the comparison readable whatever the bytes are.
check "files and - in order; CR LF kept; bad bytes and accents yield nothing" \
    "$(printf '48\r\n((|))22\n5' | od -An -c)" \
    "$(printf 's' | env -u DISPLAY "$program" --translate "$tmp/one" "$tmp/two" - | od -An -c)"
run --translate "$tmp/missing" "$tmp/two" "$tmp"
check "unreadable files are named, the others still translated, exit 1" \
    "1 22 zentrovax: $tmp/missing: No such file or directory|zentrovax: $tmp: Is a directory" \
    "$status $out $(paste -sd'|' "$tmp/err")"

env -u DISPLAY "$program" --translate "$tmp/two" >/dev/full 2>"$tmp/err"
check "a full disk: a message and exit 1" "1 zentrovax: write error: No space left on device" \
    "$? $(cat "$tmp/err")"
yes 'leet speak' | head -c 20000000 >"$tmp/big"
env -u DISPLAY "$program" --translate "$tmp/big" | head -c 5 >/dev/null
check "a closed pipe ends the run as it ends cat: by SIGPIPE" 141 "${PIPESTATUS[0]}"

summary
