#!/usr/bin/env bash
# The Debian package as a user gets it: lintian finds no error, it holds the program, the
# desktop entry, the icons, the man page and the metainfo, and the program runs from a root it
# was unpacked into.
#   package_test.sh PACKAGE.deb
set -uo pipefail
deb=$1
source "$(dirname "$0")/../e2e/session_lib.sh"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

check "named zentrovax_<version>_amd64.deb" zentrovax_1.0.0.0_amd64.deb "$(basename "$deb")"
errors=$(lintian --no-tag-display-limit "$deb" 2>/dev/null | grep '^E:')
check "lintian reports no error" "" "$errors"
check "library dependencies found by dpkg-shlibdeps" yes \
    "$(dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' && echo yes)"

dpkg-deb -x "$deb" "$root"
for file in usr/bin/zentrovax usr/share/applications/org.zentrovax.Zentrovax.desktop \
            usr/share/icons/hicolor/16x16/apps/zentrovax.png \
            usr/share/icons/hicolor/32x32/apps/zentrovax.png usr/share/man/man1/zentrovax.1.gz \
            usr/share/metainfo/org.zentrovax.Zentrovax.metainfo.xml \
            usr/share/doc/zentrovax/copyright; do
    check "holds $file" yes "$([ -s "$root/$file" ] && echo yes)"
done
check "the man page documents --translate" yes \
    "$(zcat "$root/usr/share/man/man1/zentrovax.1.gz" | grep -q 'translate' && echo yes)"
check "the unpacked program runs" "zentrovax 1.0.0.0" \
    "$(env -u DISPLAY "$root/usr/bin/zentrovax" --version)"
check "the unpacked program translates" "1337" \
    "$(echo leet | env -u DISPLAY "$root/usr/bin/zentrovax" --translate)"
check "the metainfo validates" 0 \
    "$(appstreamcli validate --no-net "$root/usr/share/metainfo/org.zentrovax.Zentrovax.metainfo.xml" >/dev/null 2>&1; echo $?)"
check "the metainfo's release is the program's version" yes \
    "$(grep -q 'release version="1.0.0.0"' "$root/usr/share/metainfo/org.zentrovax.Zentrovax.metainfo.xml" && echo yes)"

summary
