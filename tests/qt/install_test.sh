#!/usr/bin/env bash
# `cmake --install` lays out the binary, the desktop entry and the hicolor icons.
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
failures=0
for file in bin/zentrovax share/applications/zentrovax.desktop \
            share/icons/hicolor/16x16/apps/zentrovax.png share/icons/hicolor/32x32/apps/zentrovax.png; do
    if [ -e "$prefix/$file" ]; then echo "ok: $file"; else echo "FAILED: missing $file"; failures=$((failures + 1)); fi
done
[ -x "$prefix/bin/zentrovax" ] || { echo "FAILED: bin/zentrovax is not executable"; failures=$((failures + 1)); }
grep -q '^Exec=zentrovax$' "$prefix/share/applications/zentrovax.desktop" || { echo "FAILED: Exec line"; failures=$((failures + 1)); }
echo "$((5 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
