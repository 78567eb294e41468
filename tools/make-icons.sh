#!/bin/sh
# Draws the program's icons and the hand cursor into res/ with ImageMagick. The PNGs are
# committed; run this again only after changing a drawing.
#   tools/make-icons.sh [res-folder]
set -eu
out=${1:-$(dirname "$0")/../res}
mkdir -p "$out"

# Every drawing is made on a 32x32 canvas; the 16x16 images are reductions of it.
draw() {  # name, draw arguments...
    name=$1
    shift
    convert -size 32x32 xc:none "$@" "$out/$name-32.png"
    convert "$out/$name-32.png" -filter Triangle -resize 16x16 "$out/$name-16.png"
}

# Rise: a red triangle pointing up.
draw rise -fill '#e01818' -stroke '#700000' -strokewidth 2 \
    -draw 'polygon 16,3 29,27 3,27'
# Fall: a blue triangle pointing down.
draw fall -fill '#1838e0' -stroke '#000070' -strokewidth 2 \
    -draw 'polygon 3,5 29,5 16,29'
# Flat: a black bar on a white plate.
draw flat -fill white -stroke black -strokewidth 2 -draw 'roundrectangle 2,8 29,23 3,3' \
    -fill black -stroke none -draw 'rectangle 7,14 24,17'
# The program: a red rise and a blue fall on a black plate.
draw program -fill black -stroke none -draw 'roundrectangle 0,0 31,31 4,4' \
    -fill '#ff2020' -draw 'polygon 3,19 10,5 17,19' \
    -fill '#3060ff' -draw 'polygon 14,12 28,12 21,26'

# Hand cursor: white pointing hand with a blue cuff; the fingertip is at (12, 1).
convert -size 32x32 xc:none -stroke black -strokewidth 1 -fill white \
    -draw 'roundrectangle 15,9 19,18 2,2' \
    -draw 'roundrectangle 19,10 23,19 2,2' \
    -draw 'roundrectangle 23,11 27,20 2,2' \
    -draw 'polygon 10,17 4,12 2,14 8,23 10,26 24,26 27,22 27,16 10,14' \
    -draw 'roundrectangle 10,1 14,17 2,2' \
    -fill '#2040d0' -draw 'rectangle 10,26 24,31' \
    "$out/hand.png"

# The desktop's icon at every size a launcher or software centre asks for, from its drawing.
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$out/icons/tickora.svg" -o "$out/icons/tickora-$size.png"
done
