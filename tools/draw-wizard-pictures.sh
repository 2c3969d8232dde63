#!/usr/bin/env bash
# Draws the uninstall wizard's pictures with ImageMagick and writes them to
# sweepstone/win32/pictures/. The output is committed; run this script again after
# changing it (same Debian packages, same result). It uses the same fonts and
# settings as tools/draw-pictures.sh, which draws the switcher's pictures.
#
#   background.jpg   690 x 498  window background: white labels lie on the dark
#                               field from x 190 to 680 and y 80 to 330, the
#                               buttons on the light band along the bottom
#   sweepstone.ico   16, 20, 24, 32, 40, 48, 64, 128 program icon
set -euo pipefail
cd "$(dirname "$0")/.."
out=sweepstone/win32/pictures
mkdir -p "$out"
. tools/picture-settings.sh

# --- Program icon ---------------------------------------------------------------------
# An open box on a rounded dark blue tile, with an orange arrow leaving it.
$IM -size 256x256 xc:none \
    \( -size 240x240 gradient:'#2d6fb3'-'#123a66' -alpha set \
    \( -size 240x240 xc:none -fill white -draw "roundrectangle 0,0 239,239 44,44" \) \
    -compose dstin -composite \) -geometry +8+8 -compose over -composite \
    -fill '#dbe8f5' -stroke '#0b1d36' -strokewidth 4 \
    -draw "polygon 56,126 128,150 200,126 200,206 128,232 56,206" \
    -fill '#b7cde3' -draw "polygon 128,150 200,126 200,206 128,232" \
    -fill '#eef4fa' -draw "polygon 56,126 128,150 100,178 28,152" \
    -draw "polygon 200,126 128,150 156,178 228,152" \
    -stroke none -fill '#f08a24' \
    -draw "path 'M 112,130 C 104,92 118,66 150,52 L 142,36 L 196,48 L 166,92 L 160,74 C 138,84 128,102 132,128 Z'" \
    "${STRIP[@]}" "$tmp/icon256.png"
$IM "$tmp/icon256.png" -define icon:auto-resize=128,64,48,40,32,24,20,16 "$out/sweepstone.ico"

# --- Background -------------------------------------------------------------------------
# Left: a side panel with the icon and the maker's name. Right: the dark working
# field with the title above the wizard's texts. Bottom: a light band for the buttons.
$IM -size 690x448 gradient:'#0f2747'-'#1e4f82' \
    -fill 'rgba(255,255,255,0.05)' -draw "path 'M 180,448 C 320,380 520,420 690,350 L 690,448 Z'" \
    -fill 'rgba(255,255,255,0.04)' -draw "path 'M 180,448 C 360,410 560,440 690,400 L 690,448 Z'" \
    \( -size 180x448 gradient:'#e9eff5'-'#c6d4e2' \) -geometry +0+0 -compose over -composite \
    -fill '#f08a24' -draw "rectangle 180,0 183,447" \
    \( "$tmp/icon256.png" -resize 112x112 \) -geometry +34+58 -compose over -composite \
    -font "$SANS" -pointsize 13 -fill '#4a6480' -gravity north -annotate -255+190 "BRIGHTMERE" \
    -font "$BOLD" -pointsize 17 -fill '#24507c' -annotate -255+210 "Uninstaller" \
    -fill none -stroke '#a9bccf' -strokewidth 1 -draw "line 30,252 150,252" -stroke none \
    -font "$SANS" -pointsize 11 -fill '#4a6480' -annotate -255+264 "Scenery add-ons" \
    -annotate -255+280 "for FSX" \
    -gravity northwest \
    -font "$SANS" -pointsize 11 -fill '#9fc0e0' -annotate +199+14 "BRIGHTMERE GMBH" \
    -font "$BOLD" -pointsize 26 -fill '#07162b' -annotate +198+33 "Uninstall Wizard" \
    -fill white -annotate +196+31 "Uninstall Wizard" \
    -fill '#f08a24' -draw "rectangle 198,70 262,72" \
    -fill 'rgba(255,255,255,0.06)' -stroke 'rgba(255,255,255,0.18)' -strokewidth 1 \
    -draw "roundrectangle 190,160 672,334 8,8" -stroke none \
    "$tmp/top.png"

$IM -size 690x50 gradient:'#dfe7ef'-'#c4d2e0' -fill '#8fa7c0' -draw "rectangle 0,0 690,0" \
    -fill '#f3f7fb' -draw "rectangle 0,1 690,1" \
    -font "$SANS" -pointsize 11 -fill '#4a6480' -annotate +14+30 "© Brightmere GmbH" \
    "$tmp/bottom.png"

$IM "$tmp/top.png" "$tmp/bottom.png" -append +repage "${JPEG[@]}" "$out/background.jpg"
