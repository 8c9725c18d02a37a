#!/usr/bin/env bash
# Draws the program's icon in its three small forms and packs them into zentrovax.ico:
# 32x32 in 2 colours, 32x32 in 16 colours, 16x16 in 16 colours; and renders the scalable design,
# icons/zentrovax.svg (the same shapes on the same 32-unit grid), at 64, 128 and 256 pixels for
# docks and software centres. Needs ImageMagick and rsvg-convert (librsvg2-bin).
# The results are committed; run this only to change the icon, and change both drawings alike.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# "|<" in white on a black tile, with a green underline: k, the way the program spells it.
draw() {  # SIZE OUT
    local s=$1
    convert -size "${s}x${s}" xc:black \
        -fill white -draw "rectangle $((s * 4 / 32)),$((s * 5 / 32)) $((s * 8 / 32 - 1)),$((s * 24 / 32 - 1))" \
        -stroke white -strokewidth $((s > 16 ? 4 : 2)) \
        -draw "line $((s * 27 / 32)),$((s * 6 / 32)) $((s * 13 / 32)),$((s * 14 / 32))" \
        -draw "line $((s * 13 / 32)),$((s * 14 / 32)) $((s * 27 / 32)),$((s * 22 / 32))" \
        -stroke none -fill '#00c000' \
        -draw "rectangle $((s * 4 / 32)),$((s * 26 / 32)) $((s * 28 / 32 - 1)),$((s * 28 / 32 - 1))" \
        "$2"
}
draw 32 "$tmp/32.png"
draw 16 "$tmp/16.png"
convert "$tmp/32.png" -colors 16 -type Palette PNG8:icons/zentrovax-32.png
convert "$tmp/16.png" -colors 16 -type Palette PNG8:icons/zentrovax-16.png
convert "$tmp/32.png" -threshold 50% -type Bilevel icons/zentrovax-32-mono.png
convert "$tmp/32.png" -threshold 50% -type Bilevel -compress none BMP3:"$tmp/a.bmp"
convert "$tmp/32.png" -colors 16 -type Palette BMP3:"$tmp/b.bmp"
convert "$tmp/16.png" -colors 16 -type Palette BMP3:"$tmp/c.bmp"
convert "$tmp/a.bmp" "$tmp/b.bmp" "$tmp/c.bmp" zentrovax.ico
for size in 64 128 256; do
    rsvg-convert --width "$size" --height "$size" icons/zentrovax.svg --output "$tmp/$size.png"
    convert "$tmp/$size.png" -strip "icons/zentrovax-$size.png"
done
