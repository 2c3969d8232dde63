#!/usr/bin/env bash
# Draws every picture of the switcher's window with ImageMagick and writes them to
# season/window/pictures/. The output is committed; run this script again after
# changing it (same Debian packages, same result).
#
#   background.jpg        787 x 538  window background
#   season0..3.jpg        230 x 230  summer, autumn, winter, spring with their names
#   close.png              32 x 30   close icon
#   arrow_left/right.png   30 x 30   carousel arrows
#   help.png               45 x 48   help icon
#   flag_de.png, flag_en.png 37 x 27 language flags
#   glyph_close.png, glyph_ok.png 16 x 16 button glyphs
#   season.ico             16, 20, 24, 32, 40, 48, 64, 128 program icon
set -euo pipefail
cd "$(dirname "$0")/.."
out=season/window/pictures
mkdir -p "$out"
. tools/picture-settings.sh

# --- Season pictures -------------------------------------------------------------
# The ground, trunk and branches are the same in every season; the crown, the sky
# and what lies around change.
cat >"$tmp/trunk.mvg" <<'MVG'
fill '#5b3a1e'
polygon 108,196 123,196 119,150 118,112 113,112 111,150
stroke '#5b3a1e' stroke-width 5 stroke-linecap round
line 115,150 92,122
line 117,140 141,114
line 116,122 116,70
stroke none
MVG

cat >"$tmp/summer.mvg" <<'MVG'
fill '#fff59d' circle 188,38 188,16
fill '#fffde7' circle 188,38 188,24
fill '#245f28' circle 115,92 115,44
fill '#2f7d32' circle 88,104 88,72
fill '#2f7d32' circle 144,102 144,70
fill '#3b9440' circle 104,76 104,48
fill '#43a047' circle 132,80 132,56
fill '#4caf50' circle 114,58 114,40
fill '#66bb6a' circle 98,64 98,52
fill '#66bb6a' circle 126,50 126,42
MVG

cat >"$tmp/autumn.mvg" <<'MVG'
fill '#8e3414' circle 115,92 115,48
fill '#c0392b' circle 88,104 88,76
fill '#d35400' circle 144,102 144,74
fill '#e67e22' circle 104,78 104,52
fill '#d4691e' circle 132,82 132,60
fill '#f39c12' circle 114,62 114,46
fill '#f5b041' circle 98,66 98,56
fill '#c0392b' ellipse 60,168 5,2 0,360
fill '#e67e22' ellipse 150,176 5,2 0,360
fill '#f39c12' ellipse 84,178 4,2 0,360
fill '#d35400' ellipse 172,166 5,2 0,360
fill '#e67e22' ellipse 62,124 3,2 0,360
fill '#c0392b' ellipse 172,134 3,2 0,360
fill '#f39c12' ellipse 48,148 3,2 0,360
MVG

cat >"$tmp/winter.mvg" <<'MVG'
stroke '#5b3a1e' stroke-linecap round
stroke-width 5
line 116,118 116,74
stroke '#4a3020' stroke-width 3
line 116,96 84,62
line 115,124 96,104
line 117,118 134,100
line 116,86 152,52
line 116,72 96,42
line 116,64 138,34
stroke-width 2
line 100,80 80,82
line 134,70 158,74
line 92,68 86,50
line 144,60 150,42
line 116,70 116,30
stroke none
fill white
ellipse 84,62 9,3 0,360
ellipse 152,52 9,3 0,360
ellipse 96,42 6,2 0,360
ellipse 138,34 6,2 0,360
ellipse 116,30 5,2 0,360
ellipse 80,82 5,2 0,360
ellipse 158,74 5,2 0,360
circle 30,30 30,28
circle 70,58 70,56
circle 182,40 182,38
circle 202,92 202,90
circle 40,102 40,100
circle 160,20 160,18
circle 20,140 20,138
circle 206,130 206,128
circle 60,16 60,14
circle 150,118 150,116
circle 48,62 48,61
circle 196,16 196,15
MVG

cat >"$tmp/spring.mvg" <<'MVG'
fill '#558b2f' circle 115,92 115,48
fill '#7cb342' circle 88,104 88,76
fill '#7cb342' circle 144,102 144,74
fill '#8bc34a' circle 104,78 104,52
fill '#9ccc65' circle 132,82 132,60
fill '#aed581' circle 114,62 114,46
fill '#f8bbd0'
circle 96,82 96,78
circle 120,60 120,56
circle 138,92 138,88
circle 108,102 108,98
circle 152,104 152,101
circle 82,100 82,97
circle 126,84 126,81
circle 104,62 104,59
fill '#f48fb1'
circle 112,78 112,75
circle 92,64 92,61
circle 140,72 140,69
fill '#ffeb3b' circle 40,172 40,169
fill '#ffeb3b' circle 170,174 170,171
fill white circle 60,180 60,177
fill white circle 192,168 192,165
fill '#e1bee7' circle 150,182 150,179
MVG

# season N SKY_TOP SKY_BOTTOM GROUND_TOP GROUND_BOTTOM NAME GERMAN_NAME DRAWING [BEFORE_TRUNK]
season() {
    local n=$1 name=$6 german=$7 drawing=$8
    local trunk="$tmp/trunk.mvg"
    [ "$drawing" = winter ] && trunk="$tmp/winter-trunk.mvg"
    $IM -size 230x150 gradient:"$2"-"$3" \( -size 230x80 gradient:"$4"-"$5" \) -append +repage \
        -fill "$4" -draw "ellipse 60,152 120,16 0,360" -draw "ellipse 190,156 110,14 0,360" \
        -draw "translate 0,-12 $(cat "$trunk")" -draw "translate 0,-12 $(cat "$tmp/$drawing.mvg")" \
        -fill 'rgba(0,0,0,0.45)' -draw "rectangle 0,186 230,230" \
        -font "$BOLD" -pointsize 19 -fill white -gravity south -annotate +0+19 "$name" \
        -font "$SANS" -pointsize 13 -fill '#eeeeee' -annotate +0+4 "$german" \
        "${JPEG[@]}" "$out/season$n.jpg"
}
grep -v 'line 116,122 116,70' "$tmp/trunk.mvg" >"$tmp/winter-trunk.mvg"

season 0 '#2f80c8' '#b3dcf7' '#5fa83a' '#3c7a22' SUMMER Sommer summer
season 1 '#6f8297' '#ecc99a' '#9a7b3f' '#6d5326' AUTUMN Herbst autumn
season 2 '#7f9ab6' '#e4ecf4' '#ffffff' '#cfdce9' WINTER Winter winter
season 3 '#4fa3e3' '#d8eefc' '#7ccf4f' '#4f9a2f' SPRING Frühling spring

# --- Small pictures -------------------------------------------------------------------
# Close icon: a white cross on a dark blue square.
$IM -size 32x30 xc:none -fill '#16335c' -stroke '#2d5a94' -strokewidth 1 \
    -draw "roundrectangle 1,1 30,28 4,4" -stroke white -strokewidth 3 -draw "line 10,9 21,20" \
    -draw "line 21,9 10,20" "${STRIP[@]}" "$out/close.png"

# Arrows: a round green button with a white arrow.
arrow() {
    local file=$1 points=$2
    $IM -size 30x30 xc:none -fill '#1f6e1f' -draw "circle 15,15 15,1" \
        \( -size 26x26 radial-gradient:'#8fdc6a'-'#2e8b2e' -alpha set \
        \( -size 26x26 xc:none -fill white -draw "circle 13,13 13,1" \) -compose dstin -composite \) \
        -geometry +2+2 -compose over -composite \
        -fill white -stroke '#1f5e1f' -strokewidth 0.6 -draw "polygon $points" \
        "${STRIP[@]}" "$out/$file"
}
arrow arrow_left.png "8,15 16,7 16,12 22,12 22,18 16,18 16,23"
arrow arrow_right.png "22,15 14,7 14,12 8,12 8,18 14,18 14,23"

# Help icon: a blue round badge with a question mark.
$IM -size 45x48 xc:none -fill 'rgba(0,0,0,0.25)' -draw "circle 23,26 23,5" \
    \( -size 40x40 radial-gradient:'#6fb1f0'-'#1c5aa6' -alpha set \
    \( -size 40x40 xc:none -fill white -draw "circle 20,20 20,1" \) -compose dstin -composite \) \
    -geometry +2+3 -compose over -composite \
    -fill none -stroke white -strokewidth 2 -draw "circle 22,23 22,5" -stroke none \
    -font "$BOLD" -pointsize 26 -fill white -gravity center -annotate +0+1 "?" \
    "${STRIP[@]}" "$out/help.png"

# Flags, with a thin dark frame.
$IM -size 37x27 xc:black -fill '#dd0000' -draw "rectangle 0,9 36,17" \
    -fill '#ffce00' -draw "rectangle 0,18 36,26" -fill none -stroke '#333333' \
    -draw "rectangle 0,0 36,26" "${STRIP[@]}" "$out/flag_de.png"
# Left half British, right half American.
$IM -size 37x27 xc:'#012169' \
    -stroke white -strokewidth 5 -draw "line 0,0 18,27" -draw "line 0,27 18,0" \
    -stroke '#c8102e' -strokewidth 1.6 -draw "line 0,0 18,27" -draw "line 0,27 18,0" \
    -stroke none -fill white -draw "rectangle 6,0 11,26" -draw "rectangle 0,10 18,16" \
    -fill '#c8102e' -draw "rectangle 7,0 10,26" -draw "rectangle 0,11 18,15" \
    -fill white -draw "rectangle 19,0 36,26" -fill '#b22234' \
    -draw "rectangle 19,0 36,1" -draw "rectangle 19,4 36,5" -draw "rectangle 19,8 36,9" \
    -draw "rectangle 19,12 36,13" -draw "rectangle 19,16 36,17" -draw "rectangle 19,20 36,21" \
    -draw "rectangle 19,24 36,25" \
    -fill '#3c3b6e' -draw "rectangle 19,0 27,13" -fill white \
    -draw "point 21,2" -draw "point 24,2" -draw "point 26,2" -draw "point 22,5" -draw "point 25,5" \
    -draw "point 21,8" -draw "point 24,8" -draw "point 26,8" -draw "point 22,11" -draw "point 25,11" \
    -fill none -stroke '#333333' -strokewidth 1 -draw "rectangle 0,0 36,26" \
    "${STRIP[@]}" "$out/flag_en.png"

# Button glyphs: a red cross and a green check mark.
$IM -size 16x16 xc:none -stroke '#c62828' -strokewidth 3 -draw "line 3,3 12,12" \
    -draw "line 12,3 3,12" "${STRIP[@]}" "$out/glyph_close.png"
$IM -size 16x16 xc:none -fill none -stroke '#2e7d32' -strokewidth 3 \
    -draw "polyline 2,8 6,12 13,3" "${STRIP[@]}" "$out/glyph_ok.png"

# --- Program icon -------------------------------------------------------------------
# A leaf turning from summer green to autumn orange on a rounded dark blue tile.
$IM -size 256x256 xc:none \
    \( -size 240x240 gradient:'#2d6fb3'-'#123a66' -alpha set \
    \( -size 240x240 xc:none -fill white -draw "roundrectangle 0,0 239,239 44,44" \) \
    -compose dstin -composite \) -geometry +8+8 -compose over -composite \
    \( -size 256x256 xc:none -fill '#66bb44' \
    -draw "path 'M 128,34 C 210,70 214,170 128,222 L 128,34 Z'" -fill '#f08a24' \
    -draw "path 'M 128,34 C 46,70 42,170 128,222 L 128,34 Z'" \
    -fill none -stroke '#fff8e1' -strokewidth 6 -draw "line 128,40 128,236" \
    -strokewidth 4 -draw "line 128,110 170,84" -draw "line 128,150 176,122" \
    -draw "line 128,110 86,84" -draw "line 128,150 80,122" \
    -distort SRT 20 \) -compose over -composite \
    "${STRIP[@]}" "$tmp/icon256.png"
$IM "$tmp/icon256.png" -define icon:auto-resize=128,64,48,40,32,24,20,16 "$out/season.ico"

# --- Background -------------------------------------------------------------------------
# A title band with a landscape, a framed panel at left around the list, a large
# framed panel at right around the folder line and the season pictures, and a band
# along the bottom for the flags and buttons.
$IM -size 787x150 gradient:'#10294d'-'#3f79b3' \
    -fill '#2f5f8f' -draw "path 'M 400,150 C 480,96 560,110 620,120 C 680,92 740,88 787,104 L 787,150 Z'" \
    -fill '#24507c' -draw "path 'M 330,150 C 420,118 500,128 560,136 C 640,112 720,118 787,130 L 787,150 Z'" \
    -fill '#1b4068' -draw "polygon 640,136 648,104 656,136" -draw "polygon 664,138 674,96 684,138" \
    -draw "polygon 700,140 708,110 716,140" -draw "polygon 560,142 566,118 572,142" \
    -fill '#f08a24' -draw "circle 612,128 612,120" -fill '#66bb44' -draw "circle 632,131 632,124" \
    -fill '#ffffff' -draw "circle 730,132 730,125" -fill '#f48fb1' -draw "circle 590,134 590,128" \
    -font "$SANS" -pointsize 15 -fill '#bcd3ea' -annotate +98+48 "BRIGHTMERE" \
    -font "$BOLD" -pointsize 40 -fill '#0b1d36' -annotate +97+94 "Turnleaf" \
    -fill white -annotate +95+92 "Turnleaf" \
    -font "$SANS" -pointsize 14 -fill '#dbe8f5' -annotate +98+122 "Season textures for FSX  ·  Jahreszeiten-Texturen für FSX" \
    \( "$tmp/icon256.png" -resize 64x64 \) -geometry +22+36 -compose over -composite \
    "$tmp/title.png"

$IM -size 787x326 gradient:'#eef3f8'-'#d8e2ec' \
    -fill 'rgba(16,41,77,0.10)' -draw "roundrectangle 21,13 237,173 8,8" \
    -draw "roundrectangle 255,13 778,327 8,8" \
    -fill white -stroke '#8fa7c0' -strokewidth 1 -draw "roundrectangle 18,10 234,170 8,8" \
    -draw "roundrectangle 252,10 775,324 8,8" \
    -stroke '#d3dde7' -draw "line 264,38 763,38" -draw "line 30,57 222,57" -stroke none \
    -fill '#f1f5f9' -draw "roundrectangle 266,48 762,290 6,6" \
    \( "$tmp/icon256.png" -resize 40x40 \) -geometry +26+196 -compose over -composite \
    -font "$BOLD" -pointsize 15 -fill '#24507c' -annotate +74+214 "Turnleaf" \
    -font "$SANS" -pointsize 11 -fill '#4a6480' -annotate +74+231 "for FSX scenery" \
    \( "$out/season0.jpg" -resize 46x46 \) -geometry +22+252 -compose over -composite \
    \( "$out/season1.jpg" -resize 46x46 \) -geometry +76+252 -compose over -composite \
    \( "$out/season2.jpg" -resize 46x46 \) -geometry +130+252 -compose over -composite \
    \( "$out/season3.jpg" -resize 46x46 \) -geometry +184+252 -compose over -composite \
    -fill none -stroke '#8fa7c0' -draw "rectangle 21,251 68,298" -draw "rectangle 75,251 122,298" \
    -draw "rectangle 129,251 176,298" -draw "rectangle 183,251 230,298" \
    "$tmp/body.png"

$IM -size 787x62 gradient:'#c9d6e3'-'#b2c3d5' -fill '#8fa7c0' -draw "rectangle 0,0 787,0" \
    -fill '#e6edf4' -draw "rectangle 0,1 787,1" "$tmp/bottom.png"

$IM "$tmp/title.png" "$tmp/body.png" "$tmp/bottom.png" -append +repage "${JPEG[@]}" \
    "$out/background.jpg"
