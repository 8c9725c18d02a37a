#!/usr/bin/env bash
# `cmake --install` lays out the binary, the desktop entry, the hicolor icons and the metainfo,
# and both pass their validators.
#   install_test.sh BUILD-DIR
set -uo pipefail
# shellcheck source=../e2e/session_lib.sh
source "$(dirname "$0")/../e2e/session_lib.sh"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
desktop=share/applications/org.zentrovax.Zentrovax.desktop
metainfo=share/metainfo/org.zentrovax.Zentrovax.metainfo.xml
for file in bin/zentrovax "$desktop" "$metainfo" share/icons/hicolor/scalable/apps/zentrovax.svg; do
    check "installs $file" yes "$([ -s "$prefix/$file" ] && echo yes)"
done
for size in 16 32 64 128 256; do
    check "installs the icon at ${size}x${size}" "${size}x${size}" \
        "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/zentrovax.png")"
done
check "the program is executable" yes "$([ -x "$prefix/bin/zentrovax" ] && echo yes)"
check "the entry starts the program" yes \
    "$(grep -q '^Exec=zentrovax$' "$prefix/$desktop" && echo yes)"
check "desktop-file-validate passes" "" "$(desktop-file-validate "$prefix/$desktop" 2>&1)"
check "appstreamcli validate passes" 0 \
    "$(appstreamcli validate --no-net "$prefix/$metainfo" >&2; echo $?)"
summary
