// SPDX-License-Identifier: GPL-3.0-or-later
// Truevision TGA: colour-mapped (types 1 and 9, 8-bit indices, 15/16/24/32-bit map
// entries), grey (3 and 11, 8 bits, or 16 bits: grey then alpha) and true colour (2 and
// 10, 15/16/24/32 bits), raw or run-length encoded, with any of the four origins. Alpha
// is dropped.
//
// TGA has no magic number, so the sniffer accepts only headers whose every field is
// consistent; it is tried after every other format. Runs may cross rows (some
// writers do so) but stop at the end of the picture; when RLE data ends early the rest
// of the picture stays at index 0 (black). Uncompressed data must be complete.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace rastix {
namespace {

constexpr size_t kHeaderBytes = 18;

struct TgaHeader {
    int idLength, mapType, imageType, mapFirst, mapLength, mapEntryBits;
    int width, height, pixelBits, descriptor;
};

TgaHeader ReadHeader(const uint8_t *h)
{
    return {h[0], h[1],         h[2],         Le16(h + 3), Le16(h + 5),
            h[7], Le16(h + 12), Le16(h + 14), h[16],       h[17]};
}

bool TrueColourBits(int bits)
{
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// Colour of a 15/16/24/32-bit little-endian pixel or map entry as red, green, blue;
// 5-bit components are scaled to 0..255 with rounding.
void Unpack(const uint8_t *p, int bits, uint8_t rgb[3])
{
    if (bits == 15 || bits == 16) {
        const int v = Le16(p);
        const int r = v >> 10 & 31, g = v >> 5 & 31, b = v & 31;
        rgb[0] = uint8_t((r * 255 + 15) / 31);
        rgb[1] = uint8_t((g * 255 + 15) / 31);
        rgb[2] = uint8_t((b * 255 + 15) / 31);
    } else {
        rgb[0] = p[2];
        rgb[1] = p[1];
        rgb[2] = p[0];
    }
}

} // namespace

bool IsTga(Bytes file)
{
    if (file.size < kHeaderBytes)
        return false;
    const TgaHeader t = ReadHeader(file.data);
    if (t.width == 0 || t.height == 0 || (t.descriptor & 0xC0) != 0 || t.mapType > 1)
        return false;
    const int base = t.imageType & ~8;
    if (t.imageType != base && t.imageType != base + 8)
        return false;
    if (t.mapType == 1) {
        if (!TrueColourBits(t.mapEntryBits) || t.mapLength == 0)
            return false;
    } else if (t.mapFirst != 0 || t.mapLength != 0) {
        return false;
    }
    switch (base) {
    case 1: return t.mapType == 1 && t.pixelBits == 8 && t.mapFirst + t.mapLength <= 256;
    case 2: return TrueColourBits(t.pixelBits);
    case 3: return t.pixelBits == 8 || t.pixelBits == 16;
    default: return false;
    }
}

RasterImage DecodeTga(Bytes file)
{
    if (!IsTga(file))
        return DamagedRaster("its TGA header is inconsistent");
    const TgaHeader t = ReadHeader(file.data);
    if (auto refusal = CheckPictureSize(t.width, t.height))
        return FailedRaster(*refusal);

    const int base = t.imageType & ~8;
    const bool rle = t.imageType & 8;
    const size_t pixelBytes = size_t(t.pixelBits + 7) / 8;
    const size_t entryBytes = size_t(t.mapEntryBits + 7) / 8;
    const size_t mapOffset = kHeaderBytes + size_t(t.idLength);
    const size_t mapBytes = t.mapType == 1 ? entryBytes * size_t(t.mapLength) : 0;
    const size_t dataOffset = mapOffset + mapBytes;
    if (dataOffset > file.size)
        return DamagedRaster("the file ends inside its TGA colour map");
    const size_t pixelCount = size_t(t.width) * size_t(t.height);
    if (!rle && (file.size - dataOffset) / pixelBytes < pixelCount)
        return DamagedRaster("the file is shorter than its uncompressed TGA picture");

    const int depth = base == 2 ? 24 : 8;
    RasterImage raster = newdib(t.width, t.height, depth, nullptr, 0);
    if (!raster.Pixels)
        return FailedRaster("Not enough memory for a picture of " + std::to_string(t.width) + " x "
                            + std::to_string(t.height) + " pixels");
    if (base == 3) {
        SetGreyPalette(raster);
    } else if (base == 1) {
        for (int i = 0; i < t.mapLength; ++i) {
            uint8_t rgb[3];
            Unpack(file.data + mapOffset + size_t(i) * entryBytes, t.mapEntryBits, rgb);
            SetColour(raster, t.mapFirst + i, rgb[0], rgb[1], rgb[2]);
        }
        FinishPalette(raster);
    }

    // Indices outside the colour map are clamped to its first or last entry.
    const int lastEntry = t.mapFirst + t.mapLength - 1;
    const bool topDown = t.descriptor & 0x20;
    const bool rightToLeft = t.descriptor & 0x10;
    const uint8_t *data = file.data + dataOffset;
    const size_t size = file.size - dataOffset;
    size_t pos = 0;
    size_t runLeft = 0; // pixels still to repeat from the current run packet
    size_t rawLeft = 0; // pixels still to read from the current raw packet
    const uint8_t *runPixel = nullptr;
    for (size_t n = 0; n < pixelCount; ++n) {
        const uint8_t *pixel;
        if (!rle) {
            pixel = data + n * pixelBytes;
        } else {
            if (runLeft == 0 && rawLeft == 0) {
                if (pos >= size)
                    break;
                const uint8_t packet = data[pos++];
                const size_t count = size_t(packet & 0x7F) + 1;
                if (packet & 0x80) {
                    if (size - pos < pixelBytes)
                        break;
                    runPixel = data + pos;
                    pos += pixelBytes;
                    runLeft = count;
                } else {
                    rawLeft = count;
                }
            }
            if (runLeft > 0) {
                pixel = runPixel;
                --runLeft;
            } else {
                if (size - pos < pixelBytes)
                    break;
                pixel = data + pos;
                pos += pixelBytes;
                --rawLeft;
            }
        }
        const size_t fileRow = n / size_t(t.width);
        const size_t fileColumn = n % size_t(t.width);
        const int64_t y = topDown ? int64_t(fileRow) : t.height - 1 - int64_t(fileRow);
        const size_t x = rightToLeft ? size_t(t.width) - 1 - fileColumn : fileColumn;
        uint8_t *row = PictureRow(raster, y);
        if (base == 1) {
            row[x] = uint8_t(std::clamp<int>(pixel[0], t.mapFirst, lastEntry));
        } else if (depth == 8) {
            row[x] = pixel[0];
        } else {
            uint8_t rgb[3];
            Unpack(pixel, t.pixelBits, rgb);
            row[3 * x] = rgb[2];
            row[3 * x + 1] = rgb[1];
            row[3 * x + 2] = rgb[0];
        }
    }
    return raster;
}

} // namespace rastix
