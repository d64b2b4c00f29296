#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lunora developers
# Paints Lunora's artwork with ImageMagick: the program icon in several sizes, the
# banner across the top of the overview and case windows, the help and information
# symbols, and the demo logo. The PNG files are committed; run this only to change them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/images
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bold=$(fc-match -f '%{file}' 'Liberation Sans:bold')

# Program icon, painted at 256 px: a dark teal tile, a white case card with lines of
# text, and a golden crescent (luna) over its corner.
convert -size 256x256 gradient:'#1b9aa6'-'#0b2545' "$tmp/grad.png"
convert -size 256x256 xc:none -fill white -draw "roundrectangle 8,8 247,247 44,44" "$tmp/mask.png"
convert "$tmp/grad.png" "$tmp/mask.png" -alpha off -compose CopyOpacity -composite "$tmp/tile.png"
convert -size 256x256 xc:none -fill 'rgba(0,0,0,0.35)' -draw "roundrectangle 60,76 180,226 12,12" \
    -blur 0x5 "$tmp/shadow.png"
convert -size 256x256 xc:none -fill white -draw "roundrectangle 54,66 174,216 12,12" \
    -fill '#1b7f8a' -draw "roundrectangle 72,92 130,104 4,4" \
    -fill '#9fb3c8' -draw "roundrectangle 72,118 156,126 3,3" \
    -draw "roundrectangle 72,138 156,146 3,3" -draw "roundrectangle 72,158 140,166 3,3" \
    -fill '#ff8000' -draw "roundrectangle 72,184 116,196 4,4" "$tmp/card.png"
convert -size 256x256 xc:none -fill '#ffc233' -draw "circle 176,84 176,32" "$tmp/moon.png"
convert -size 256x256 xc:none -fill black -draw "circle 200,66 200,22" "$tmp/bite.png"
convert "$tmp/moon.png" "$tmp/bite.png" -compose DstOut -composite "$tmp/crescent.png"
convert "$tmp/tile.png" "$tmp/shadow.png" -compose Over -composite \
    "$tmp/card.png" -compose Over -composite \
    "$tmp/crescent.png" -compose Over -composite -depth 8 -strip "$out/icon-256.png"
for size in 16 24 32 48 64 128; do
    convert "$out/icon-256.png" -filter Lanczos -resize ${size}x${size} -depth 8 -strip "$out/icon-$size.png"
done
cp "$out/icon-256.png" "$out/icon.png"

# Banner: 949 x 43, a left-to-right gradient from night blue to teal, with a faint
# crescent at the right end; white bold text reads well on all of it.
convert -size 43x949 gradient:'#0b2545'-'#13747d' -rotate -90 "$tmp/band.png"
convert -size 949x43 xc:none -fill 'rgba(255,255,255,0.10)' -draw "circle 905,21 905,-9" \
    -fill 'rgba(255,255,255,0.06)' -draw "circle 860,21 860,3" "$tmp/glow.png"
convert -size 949x43 xc:none -fill black -draw "circle 918,12 918,-16" "$tmp/glowbite.png"
convert "$tmp/glow.png" "$tmp/glowbite.png" -compose DstOut -composite "$tmp/glow2.png"
convert "$tmp/band.png" "$tmp/glow2.png" -compose Over -composite \
    -fill 'rgba(255,255,255,0.18)' -draw "line 0,42 948,42" -depth 8 -strip "$out/banner.png"

# Help symbol: white question mark on a blue disc, painted large and scaled to 16 px.
convert -size 128x128 xc:none -fill '#1f6fd1' -stroke '#0b3f86' -strokewidth 6 \
    -draw "circle 64,64 64,6" -stroke none -fill white -font "$bold" -pointsize 96 \
    -gravity center -annotate +0+4 '?' -filter Lanczos -resize 16x16 -depth 8 -strip "$out/help.png"

# Information symbol: white letter i on a blue disc, 32 px.
convert -size 128x128 xc:none -fill '#1f6fd1' -stroke '#0b3f86' -strokewidth 5 \
    -draw "circle 64,64 64,5" -stroke none -fill white \
    -draw "circle 64,34 64,23" -draw "roundrectangle 54,52 74,106 5,5" \
    -filter Lanczos -resize 32x32 -depth 8 -strip "$out/info.png"
