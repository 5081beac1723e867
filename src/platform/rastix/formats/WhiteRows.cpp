// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/WhiteRows.h"

#include <cstring>

namespace rastix {
namespace {

// The byte a row of the raster's whitest colour repeats.
uint8_t WhiteByte(const RasterImage &raster)
{
    const int bits = RasterBitCount(raster);
    if (bits == 24)
        return 0xFF;
    const RGBQUAD *table = raster.ColourTable();
    int best = 0, bestDistance = -1;
    for (int i = 0; i < 1 << bits; ++i) {
        const int r = 255 - table[i].rgbRed, g = 255 - table[i].rgbGreen,
                  b = 255 - table[i].rgbBlue;
        const int distance = r * r + g * g + b * b;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    switch (bits) {
    case 1: return best ? 0xFF : 0x00;
    case 4: return uint8_t(best << 4 | best);
    default: return uint8_t(best);
    }
}

} // namespace

void FillWhiteFrom(const RasterImage &raster, int64_t fromRow)
{
    if (!raster.Pixels)
        return;
    const uint8_t white = WhiteByte(raster);
    const size_t rowBytes = (size_t(RasterWidth(raster)) * size_t(RasterBitCount(raster)) + 7) / 8;
    for (int64_t y = fromRow < 0 ? 0 : fromRow; y < RasterHeight(raster); ++y)
        std::memset(PictureRow(raster, y), white, rowBytes);
}

} // namespace rastix
