#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the 16 x 16 button pictures of the about box and the print dialog under
# src/app/dialogs with ImageMagick, each in a normal and a disabled (greyed, faded)
# state, and renders the about box's picture (about.jpg). Run again after changing a
# drawing.
set -euo pipefail
cd "$(dirname "$0")/.."

"scripts/make-about-picture.py" | cjpeg -quality 88 -optimize >src/app/dialogs/about.jpg

cd src/app/dialogs
draw() { # name draw-arguments...
    local name=$1
    shift
    convert -size 16x16 xc:none "$@" "PNG32:${name}.png"
    convert "${name}.png" -colorspace Gray -channel A -evaluate multiply 0.45 +channel \
        -define png:exclude-chunks=date,time "PNG32:${name}_disabled.png"
    convert "${name}.png" -define png:exclude-chunks=date,time "PNG32:${name}.png"
}

# Web site: a blue globe with its meridians and parallels.
draw web -stroke '#1d4f91' -fill '#5b9be0' -draw 'circle 7.5,7.5 7.5,1' -fill none \
    -stroke '#dbe9f8' -draw 'ellipse 7.5,7.5 3,6.5 0,360' -draw 'line 7.5,1 7.5,14' \
    -draw 'line 1,7.5 14,7.5' -draw 'line 2,4.5 13,4.5' -draw 'line 2,10.5 13,10.5'
# Printer setup: a grey printer with a sheet fed in on top and one coming out.
draw printer -stroke '#8a8a8a' -fill white -draw 'rectangle 4,1 11,6' -stroke '#3f3f3f' \
    -fill '#a9a9a9' -draw 'roundrectangle 1,6 14,12 1,1' -fill '#5fbf4f' -stroke none \
    -draw 'rectangle 11,8 12,9' -stroke '#8a8a8a' -fill white -draw 'rectangle 4,10 11,15' \
    -stroke '#b0b0b0' -draw 'line 5,12 10,12' -draw 'line 5,14 9,14'
