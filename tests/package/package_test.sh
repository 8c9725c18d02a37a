#!/usr/bin/env bash
# The Debian package as a user gets it: lintian finds no error, it holds the program, the
# desktop entry, the icons at every size, the man page and the metainfo, the program runs from a
# root it was unpacked into, and the tool distributions build software catalogues with accepts it.
#   package_test.sh PACKAGE.deb VERSION
set -uo pipefail
deb=$1 version=$2
# shellcheck source=../e2e/session_lib.sh
source "$(dirname "$0")/../e2e/session_lib.sh"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

check "named zentrovax_<version>_amd64.deb" "zentrovax_${version}_amd64.deb" "$(basename "$deb")"
errors=$(lintian --no-tag-display-limit "$deb" 2>/dev/null | grep '^E:')
check "lintian reports no error" "" "$errors"
check "library dependencies found by dpkg-shlibdeps" yes \
    "$(dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' && echo yes)"

dpkg-deb -x "$deb" "$root"
for file in usr/bin/zentrovax usr/share/applications/org.zentrovax.Zentrovax.desktop \
            usr/share/icons/hicolor/scalable/apps/zentrovax.svg usr/share/man/man1/zentrovax.1.gz \
            usr/share/metainfo/org.zentrovax.Zentrovax.metainfo.xml \
            usr/share/doc/zentrovax/copyright; do
    check "holds $file" yes "$([ -s "$root/$file" ] && echo yes)"
done
for size in 16 32 64 128 256; do
    check "holds the icon at ${size}x${size}" "${size}x${size}" \
        "$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/zentrovax.png")"
done

man_page=$root/usr/share/man/man1/zentrovax.1.gz
check "the man page has the sections a reader expects" \
    "NAME|SYNOPSIS|DESCRIPTION|OPTIONS|EXIT STATUS|ENVIRONMENT|FILES|EXAMPLES|SEE ALSO" \
    "$(MANWIDTH=80 man -l "$man_page" 2>/dev/null | grep -E '^[A-Z][A-Z ]+$' | paste -sd'|')"
check "the man page documents --translate and the window" yes \
    "$(MANWIDTH=80 man -l "$man_page" 2>/dev/null | grep -q 'Pause' && echo yes)"
check "the man page renders without warnings" "" \
    "$(MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null)"

catalogue=$root-catalogue
appstreamcli compose --no-net --origin=zentrovax --result-root="$catalogue" "$root" \
    >"$catalogue.log" 2>&1
check "appstreamcli compose succeeds" "0 " "$? $(grep -E '^ *E:' "$catalogue.log")"
check "the software catalogue holds the program with its icons" yes \
    "$(zcat "$catalogue"/usr/share/swcatalog/xml/zentrovax.xml.gz 2>/dev/null |
        grep -q '<icon type="cached" width="128"' && echo yes)"
rm -rf "$catalogue" "$catalogue.log"
check "the unpacked program runs" "zentrovax $version" \
    "$(env -u DISPLAY "$root/usr/bin/zentrovax" --version)"
check "the unpacked program translates" "1337" \
    "$(echo leet | env -u DISPLAY "$root/usr/bin/zentrovax" --translate)"
check "the metainfo validates" 0 \
    "$(appstreamcli validate --no-net "$root/usr/share/metainfo/org.zentrovax.Zentrovax.metainfo.xml" >/dev/null 2>&1; echo $?)"
check "the metainfo's release is the program's version" yes \
    "$(grep -q "release version=\"$version\"" "$root/usr/share/metainfo/org.zentrovax.Zentrovax.metainfo.xml" && echo yes)"

summary
