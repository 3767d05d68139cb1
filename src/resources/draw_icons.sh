#!/usr/bin/env bash
# Draws the two icon groups: an archive box ("VOKICON") and the same box with a
# red cross for the uninstaller's own file ("DELICON"). Run once; the .ico
# files are kept in the tree.
set -euo pipefail
cd "$(dirname "$0")"
box() {
    convert -size 32x32 xc:none \
        -fill '#b5793a' -stroke '#5a3a18' -draw 'rectangle 4,9 27,28' \
        -fill '#d79a55' -stroke '#5a3a18' -draw 'polygon 4,9 8,3 23,3 27,9' \
        -fill '#f2d16b' -stroke none -draw 'rectangle 14,3 17,28' \
        -fill '#5a3a18' -draw 'rectangle 15,12 16,13' -draw 'rectangle 15,16 16,17' \
        -draw 'rectangle 15,20 16,21' -draw 'rectangle 15,24 16,25' "$@"
}
box vok32.png
box -stroke '#c01010' -strokewidth 4 -draw 'line 17,17 29,29' -draw 'line 29,17 17,29' del32.png
for n in vok del; do
    convert "${n}32.png" -resize 16x16 "${n}16.png"
    convert "${n}16.png" "${n}32.png" "${n}icon.ico"
    rm "${n}16.png" "${n}32.png"
done
