#!/usr/bin/env bash
# Draws the two icon groups: an archive box ("VOKICON") and the same box with a
# red cross for the uninstaller's own file ("DELICON"). Run once; the .ico
# files are kept in the tree, and drawing them again gives the same bytes.
set -euo pipefail
cd "$(dirname "$0")"
# box SIZE FILE [DRAWING...]: the box drawn on a 32-pixel grid scaled to SIZE
# pixels, lines included, so that a screen at 150 or 200 percent gets a frame
# of its own (48, 64) instead of a stretched 32-pixel one.
box() {
    local size=$1 file=$2
    shift 2
    convert -size "${size}x${size}" xc:none -affine "$(times "$size" 1),0,0,$(times "$size" 1),0,0" \
        -strokewidth "$(times "$size" 1)" \
        -fill '#b5793a' -stroke '#5a3a18' -draw 'rectangle 4,9 27,28' \
        -fill '#d79a55' -stroke '#5a3a18' -draw 'polygon 4,9 8,3 23,3 27,9' \
        -fill '#f2d16b' -stroke none -draw 'rectangle 14,3 17,28' \
        -fill '#5a3a18' -draw 'rectangle 15,12 16,13' -draw 'rectangle 15,16 16,17' \
        -draw 'rectangle 15,20 16,21' -draw 'rectangle 15,24 16,25' "$@" "$file"
}
# times SIZE N: N pixels of the 32-pixel grid at SIZE pixels.
times() {
    awk -v size="$1" -v n="$2" 'BEGIN { print n * size / 32 }'
}
for size in 32 48 64; do
    box "$size" "vok$size.png"
    box "$size" "del$size.png" -stroke '#c01010' -strokewidth "$(times "$size" 4)" \
        -draw 'line 17,17 29,29' -draw 'line 29,17 17,29'
done
for n in vok del; do
    convert "${n}32.png" -resize 16x16 "${n}16.png"
    convert "${n}16.png" "${n}32.png" "${n}48.png" "${n}64.png" "${n}icon.ico"
    rm "${n}16.png" "${n}32.png" "${n}48.png" "${n}64.png"
done
