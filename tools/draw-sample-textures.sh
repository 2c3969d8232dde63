#!/usr/bin/env bash
# Turns the tree and ground textures of the sample add-on folder into small real
# BMP pictures, tinted by their season. Each file's variant is named by a text
# line (for instance "Alpha Airfield: winter trees"); the picture drawn for it
# depends only on that line, so a file and the variant it was copied from stay
# byte for byte alike. Scenery files (.bgl, .off below Scenery) stay as they are.
#
#   bash tools/draw-sample-textures.sh            draws from the text lines
# The lines are kept in samples/addons/textures.txt (path | line).
set -euo pipefail
cd "$(dirname "$0")/../samples/addons"
IM=/usr/bin/convert

while IFS='|' read -r path line; do
    path=$(sed 's/ *$//' <<<"$path")
    line=$(sed 's/^ *//' <<<"$line")
    case "$line" in
    *ummer* | *Sommer*) colour='#3f8f3a' ;;
    *utumn* | *fall* | *Herbst*) colour='#c8641e' ;;
    *inter*) colour='#e8eef4' ;;
    *pring* | *sping* | *Fruehling*) colour='#8fcf5a' ;;
    *) colour='#8a8a7a' ;;
    esac
    seed=$(printf '%s' "$line" | cksum | cut -d' ' -f1)
    $IM -size 32x32 xc:"$colour" -seed "$((seed % 100000))" -attenuate 0.5 +noise Uniform \
        -type TrueColor "BMP3:$path"
done <textures.txt
