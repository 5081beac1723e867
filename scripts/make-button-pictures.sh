#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the button pictures under src/app/images with ImageMagick: 24 x 24 for open and
# save, 16 x 16 for the brush tools, grayscale, soften and "colorize everything", each
# in a normal and a disabled (greyed, faded) state. Run again after changing a drawing.
set -euo pipefail
cd "$(dirname "$0")/../src/app/images"

draw() { # name size draw-arguments...
    local name=$1 size=$2
    shift 2
    convert -size "${size}x${size}" xc:none "$@" "PNG32:${name}.png"
    convert "${name}.png" -colorspace Gray -channel A -evaluate multiply 0.45 +channel \
        -define png:exclude-chunks=date,time "PNG32:${name}_disabled.png"
    convert "${name}.png" -define png:exclude-chunks=date,time "PNG32:${name}.png"
}

# Open: a yellow folder with its flap lifted.
draw open 24 -stroke '#7a5a00' -fill '#f2c94c' -draw 'polygon 2,7 9,7 11,9 21,9 21,20 2,20' \
    -fill '#f8de84' -draw 'polygon 5,12 23,12 20,20 2,20'
# Save: a blue floppy disk with a label and shutter.
draw save 24 -stroke '#1d3a6e' -fill '#3c6fc4' -draw 'polygon 3,3 19,3 21,5 21,21 3,21' \
    -fill white -draw 'rectangle 6,4 17,10' -fill '#9aa7b8' -draw 'rectangle 7,14 17,21'
# Colorize: a brush with a coloured tip.
draw colorize 16 -stroke '#6b4a1e' -strokewidth 2 -draw 'line 13,2 7,9' -stroke none \
    -fill '#e0483c' -draw 'polygon 6,8 9,11 5,14 1,15 2,11' -fill '#f0b400' -draw 'circle 3,13 4,13'
# Erase: a pink eraser block, tilted.
draw erase 16 -stroke '#7a3b4c' -fill '#f4a6b8' -draw 'polygon 2,10 9,3 14,8 7,15' \
    -fill '#dfe7f5' -draw 'polygon 2,10 5,7 10,12 7,15'
# Grayscale: a row of grey steps from black to white.
draw grayscale 16 -stroke black -fill black -draw 'rectangle 1,3 4,12' -fill '#555555' \
    -draw 'rectangle 4,3 8,12' -fill '#aaaaaa' -draw 'rectangle 8,3 11,12' -fill white \
    -draw 'rectangle 11,3 14,12'
# Soften: a soft blurred dot.
draw soften 16 -fill '#4d7cc9' -draw 'circle 8,8 8,2' -blur 0x1.4
# Colorize everything: two check marks.
draw checkmarks 16 -stroke '#1f7a1f' -strokewidth 2 -fill none \
    -draw 'polyline 1,8 4,11 9,4' -draw 'polyline 6,11 9,14 15,5'
