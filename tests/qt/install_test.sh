#!/usr/bin/env bash
# `cmake --install` lays out the binary, the desktop entry, the hicolor icons and the metainfo,
# and both pass their validators.
#   install_test.sh BUILD-DIR
set -uo pipefail
source "$(dirname "$0")/../e2e/session_lib.sh"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
desktop=share/applications/org.zentrovax.Zentrovax.desktop
metainfo=share/metainfo/org.zentrovax.Zentrovax.metainfo.xml
for file in bin/zentrovax "$desktop" "$metainfo" share/icons/hicolor/16x16/apps/zentrovax.png \
            share/icons/hicolor/32x32/apps/zentrovax.png; do
    check "installs $file" yes "$([ -s "$prefix/$file" ] && echo yes)"
done
check "the program is executable" yes "$([ -x "$prefix/bin/zentrovax" ] && echo yes)"
check "the entry starts the program" yes \
    "$(grep -q '^Exec=zentrovax$' "$prefix/$desktop" && echo yes)"
check "desktop-file-validate passes" "" "$(desktop-file-validate "$prefix/$desktop" 2>&1)"
check "appstreamcli validate passes" 0 \
    "$(appstreamcli validate --no-net "$prefix/$metainfo" >&2; echo $?)"
summary
