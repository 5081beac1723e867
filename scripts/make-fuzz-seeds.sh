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
mkdir -p "$seeds"/{bmp,pcx,ilbm,tga,tiff,gif,jpeg,opendib}

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

# Rearranged by Python: palette changes per line, a LIST with a PROP, and ACBM.
python3 - "$seeds/ilbm" <<'PYTHON'
import struct, sys
folder = sys.argv[1]
def chunks(path):
    d = open(path, 'rb').read()
    out, pos = [], 12
    while pos + 8 <= len(d):
        n = struct.unpack('>I', d[pos + 4:pos + 8])[0]
        out.append((d[pos:pos + 4], d[pos + 8:pos + 8 + n]))
        pos += 8 + n + (n & 1)
    return out
def wrap(cid, data):
    return cid + struct.pack('>I', len(data)) + data + (b'\0' if len(data) & 1 else b'')
def group(cid, kind, parts):
    return wrap(cid, kind + b''.join(parts))
four = chunks(folder + '/planes4.lbm')
pchg = struct.pack('>HHhHHHHHI', 0, 1, 0, 7, 2, 0, 15, 2, 3) + bytes([0xA0, 0, 0, 0])
pchg += bytes([2, 0]) + struct.pack('>HH', 0x0F00, 0x30F0) + bytes([1, 0]) + struct.pack('>H', 0x100F)
parts = [wrap(c, x) for c, x in four if c != b'BODY'] + [wrap(b'PCHG', pchg)]
parts += [wrap(c, x) for c, x in four if c == b'BODY']
open(folder + '/pchg12.lbm', 'wb').write(group(b'FORM', b'ILBM', parts))
props = [wrap(c, x) for c, x in four if c != b'BODY']
body = [wrap(c, x) for c, x in four if c == b'BODY']
open(folder + '/list_prop.lbm', 'wb').write(
    group(b'LIST', b'ILBM', [group(b'PROP', b'ILBM', props), group(b'FORM', b'ILBM', body)]))
raw = chunks(folder + '/planes8raw.lbm')
bmhd = dict(raw)[b'BMHD']
w, h, planes = struct.unpack('>HH', bmhd[:4]) + (bmhd[8],)
pb = (w + 15) // 16 * 2
data = dict(raw)[b'BODY']
abit = bytearray(len(data))
for y in range(h):
    for k in range(planes):
        src = (y * planes + k) * pb
        abit[(k * h + y) * pb:(k * h + y) * pb + pb] = data[src:src + pb]
parts = [wrap(c, x) for c, x in raw if c != b'BODY'] + [wrap(b'ABIT', bytes(abit))]
open(folder + '/acbm.lbm', 'wb').write(group(b'FORM', b'ACBM', parts))
PYTHON

pamtotga -cmap "$work/q200.ppm" > "$seeds/tga/cmap_rle.tga" 2>/dev/null
pamtotga -mono -norle "$work/grey.pgm" > "$seeds/tga/grey_raw.tga" 2>/dev/null
pamtotga -rgb "$work/in.ppm" > "$seeds/tga/rgb_rle.tga" 2>/dev/null
convert "$work/in.ppm" -depth 5 -define tga:bits-per-pixel=16 tga:"$seeds/tga/rgb16.tga"
convert "$work/in.ppm" -alpha set -compress RLE tga:"$seeds/tga/rgba_rle.tga"

# TIFF: every reading path (raw strips, scan lines, planar bands, tiles, the RGBA reader)
# and every sample kind.
tif="$seeds/tiff"
pnmtotiff -g4 "$work/bw.pbm" > "$tif/bilevel_g4.tif" 2>/dev/null
magick_tiff() { out=$1; shift; convert "$work/in.ppm" "$@" "tiff:$tif/$out" 2>/dev/null || true; }
magick_tiff grey4.tif -colorspace Gray -depth 4 -compress none
magick_tiff grey12_lzw.tif -colorspace Gray -depth 12 -compress lzw
magick_tiff grey16_msb.tif -colorspace Gray -depth 16 -endian MSB
magick_tiff rgb8_raw.tif -depth 8 -compress none
tiffset -s 274 6 "$tif/rgb8_raw.tif"
magick_tiff rgb16_planar_lzw.tif -depth 16 -interlace plane -compress lzw
magick_tiff rgb5_tiles.tif -depth 5 -define tiff:tile-geometry=16x16
magick_tiff float32_zip.tif -define quantum:format=floating-point -depth 32 -compress zip
magick_tiff float16.tif -define quantum:format=floating-point -depth 16 -compress lzw
magick_tiff uint32.tif -depth 32 -compress none
magick_tiff signed16.tif -define quantum:format=signed -depth 16
magick_tiff cmyk8.tif -colorspace CMYK -depth 8
magick_tiff cmyk16_planar.tif -colorspace CMYK -depth 16 -interlace plane
magick_tiff lab8.tif -colorspace Lab -depth 8
magick_tiff rgba16_tiles.tif -alpha set -depth 16 -define tiff:tile-geometry=16x16
magick_tiff ycbcr_raw.tif -colorspace YCbCr -depth 8 -compress none
magick_tiff jpeg.tif -compress jpeg
convert "$work/q16.ppm" -type Palette -depth 2 -colors 4 "tiff:$tif/palette2.tif"
pnmtotiff -packbits "$work/q200.ppm" > "$tif/palette8_packbits.tif" 2>/dev/null

cp "$seeds"/bmp/{bilevel,rle8}.bmp "$seeds"/pcx/{planes4,colour8}.pcx "$seeds/opendib/"
cp "$seeds"/ilbm/{planes4,ham6,pchg12,list_prop}.lbm "$seeds/tga/cmap_rle.tga" "$seeds/opendib/"
pamtogif "$work/q200.ppm" > "$seeds/opendib/colour.gif" 2>/dev/null
pamtogif -interlace "$work/q16.ppm" > "$seeds/opendib/interlaced.gif" 2>/dev/null
cp "$seeds"/opendib/{colour,interlaced}.gif "$seeds/gif/"
# LZW code sizes 9 and 11, which giflib refuses: written by a few lines of Python that
# keep the code width fixed by clearing the table before it grows.
python3 - "$seeds/gif" <<'PYTHON'
import struct, sys
def wide_gif(path, code_size, interlace):
    w, h = 13, 7
    out = bytearray(b'GIF89a' + struct.pack('<HHBBB', w, h, 0xF7, 2, 0))
    for i in range(256):
        out += bytes([i, (i * 7) & 255, 255 - i])
    out += b'\x2c' + struct.pack('<HHHHB', 0, 0, w, h, 0x40 if interlace else 0)
    out.append(code_size)
    clear, width = 1 << code_size, code_size + 1
    codes, n = [clear], 0
    for y in range(h):
        for x in range(w):
            codes.append((x * 37 + y * 11) % 256)
            n += 1
            if n >= (1 << width) - clear - 3:
                codes.append(clear)
                n = 0
    codes.append(clear + 1)
    bits = count = 0
    data = bytearray()
    for c in codes:
        bits |= c << count
        count += width
        while count >= 8:
            data.append(bits & 255)
            bits >>= 8
            count -= 8
    if count:
        data.append(bits & 255)
    for i in range(0, len(data), 255):
        out.append(len(data[i:i + 255]))
        out += data[i:i + 255]
    out += b'\x00;'
    open(path, 'wb').write(out)
wide_gif(sys.argv[1] + '/codesize9.gif', 9, False)
wide_gif(sys.argv[1] + '/codesize11_interlaced.gif', 11, True)
PYTHON
cp "$seeds/gif/codesize9.gif" "$seeds/opendib/"
cp "$tif"/{grey12_lzw,rgb5_tiles,cmyk8,ycbcr_raw}.tif "$seeds/opendib/"
pnmtotiff -lzw "$work/in.ppm" > "$seeds/opendib/rgb_lzw.tif" 2>/dev/null
pnmtotiff -g4 "$work/bw.pbm" > "$seeds/opendib/bilevel_g4.tif" 2>/dev/null
pnmtotiff -packbits "$work/q16.ppm" > "$seeds/opendib/palette.tif" 2>/dev/null
pnmtopng "$work/in.ppm" > "$seeds/opendib/rgb.png" 2>/dev/null
pnmtopng "$work/q16.ppm" > "$seeds/opendib/palette.png" 2>/dev/null
cjpeg -quality 80 "$work/in.ppm" > "$seeds/opendib/colour.jpg"
cjpeg -grayscale -progressive "$work/in.ppm" > "$seeds/opendib/grey_progressive.jpg"
cp "$seeds"/opendib/{colour,grey_progressive}.jpg "$seeds/jpeg/"
convert "$work/in.ppm" -colorspace CMYK "jpg:$seeds/jpeg/cmyk_adobe.jpg"
ls -R "$seeds" | wc -l
