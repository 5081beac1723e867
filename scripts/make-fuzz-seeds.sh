#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the fuzzers' seed files: small valid pictures of every kind each decoder
# reads, made by netpbm and ImageMagick from one generated picture. The results are
# committed in fuzz/seeds/<target>/; run this again only to change the seed set.
set -euo pipefail
cd "$(dirname "$0")/.."
seeds=fuzz/seeds
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 13 x 7 picture with gradients, and its 2-, 16- and 200-colour and grey versions.
convert -size 13x7 gradient:red-blue -colorspace sRGB \( -size 13x7 gradient:yellow-black -rotate 0 \) \
    -compose multiply -composite -depth 8 "$work/in.ppm"
ppmtopgm "$work/in.ppm" | pamthreshold | pamtopnm > "$work/bw.pbm"
pnmquant 16 "$work/in.ppm" > "$work/q16.ppm" 2>/dev/null
pnmquant 200 "$work/in.ppm" > "$work/q200.ppm" 2>/dev/null
ppmtopgm "$work/in.ppm" > "$work/grey.pgm"

rm -rf "$seeds"
mkdir -p "$seeds"/{bmp,pcx,ilbm,tga,opendib}

ppmtobmp -bpp 1 "$work/bw.pbm" > "$seeds/bmp/bilevel.bmp" 2>/dev/null
ppmtobmp -bpp 4 "$work/q16.ppm" > "$seeds/bmp/colour4.bmp" 2>/dev/null
ppmtobmp -bpp 8 "$work/q200.ppm" > "$seeds/bmp/colour8.bmp" 2>/dev/null
ppmtobmp -bpp 24 "$work/in.ppm" > "$seeds/bmp/true24.bmp" 2>/dev/null
convert "$work/q200.ppm" -type Palette -compress RLE bmp3:"$seeds/bmp/rle8.bmp"
convert "$work/q16.ppm" -colors 16 -type Palette -compress RLE bmp3:"$seeds/bmp/rle4.bmp"
convert "$work/in.ppm" -define bmp:subtype=RGB565 bmp:"$seeds/bmp/rgb565.bmp"

ppmtopcx "$work/bw.pbm" > "$seeds/pcx/bilevel.pcx" 2>/dev/null
ppmtopcx -planes 4 "$work/q16.ppm" > "$seeds/pcx/planes4.pcx" 2>/dev/null
ppmtopcx -packed "$work/q16.ppm" > "$seeds/pcx/packed4.pcx" 2>/dev/null
ppmtopcx -8bit "$work/q200.ppm" > "$seeds/pcx/colour8.pcx" 2>/dev/null
ppmtopcx -24bit "$work/in.ppm" > "$seeds/pcx/true24.pcx" 2>/dev/null

ppmtoilbm "$work/bw.pbm" > "$seeds/ilbm/planes1.lbm" 2>/dev/null
ppmtoilbm "$work/q16.ppm" > "$seeds/ilbm/planes4.lbm" 2>/dev/null
ppmtoilbm -maxplanes 8 -cmethod none "$work/q200.ppm" > "$seeds/ilbm/planes8raw.lbm" 2>/dev/null
ppmtoilbm -ham6 "$work/in.ppm" > "$seeds/ilbm/ham6.lbm" 2>/dev/null
ppmtoilbm -ham8 "$work/in.ppm" > "$seeds/ilbm/ham8.lbm" 2>/dev/null
ppmtoilbm -24force "$work/in.ppm" > "$seeds/ilbm/deep24.lbm" 2>/dev/null

pamtotga -cmap "$work/q200.ppm" > "$seeds/tga/cmap_rle.tga" 2>/dev/null
pamtotga -mono -norle "$work/grey.pgm" > "$seeds/tga/grey_raw.tga" 2>/dev/null
pamtotga -rgb "$work/in.ppm" > "$seeds/tga/rgb_rle.tga" 2>/dev/null
convert "$work/in.ppm" -depth 5 -define tga:bits-per-pixel=16 tga:"$seeds/tga/rgb16.tga"
convert "$work/in.ppm" -alpha set -compress RLE tga:"$seeds/tga/rgba_rle.tga"

cp "$seeds"/bmp/{bilevel,rle8}.bmp "$seeds"/pcx/{planes4,colour8}.pcx "$seeds/opendib/"
cp "$seeds"/ilbm/{planes4,ham6}.lbm "$seeds/tga/cmap_rle.tga" "$seeds/opendib/"
pamtogif "$work/q200.ppm" > "$seeds/opendib/colour.gif" 2>/dev/null
pamtogif -interlace "$work/q16.ppm" > "$seeds/opendib/interlaced.gif" 2>/dev/null
pnmtotiff -lzw "$work/in.ppm" > "$seeds/opendib/rgb_lzw.tif" 2>/dev/null
pnmtotiff -g4 "$work/bw.pbm" > "$seeds/opendib/bilevel_g4.tif" 2>/dev/null
pnmtotiff -packbits "$work/q16.ppm" > "$seeds/opendib/palette.tif" 2>/dev/null
pnmtopng "$work/in.ppm" > "$seeds/opendib/rgb.png" 2>/dev/null
pnmtopng "$work/q16.ppm" > "$seeds/opendib/palette.png" 2>/dev/null
cjpeg -quality 80 "$work/in.ppm" > "$seeds/opendib/colour.jpg"
cjpeg -grayscale -progressive "$work/in.ppm" > "$seeds/opendib/grey_progressive.jpg"
ls -R "$seeds" | wc -l
