// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/Rastix.h"

namespace {

// Address of the byte holding picture pixel (x, y), or null outside the raster.
uint8_t *PixelByte(const RasterImage &raster, int32_t x, int32_t y)
{
    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    if (!raster.Pixels || x < 0 || y < 0 || x >= width || y >= height)
        return nullptr;
    uint8_t *row = PictureRow(raster, y);
    switch (RasterBitCount(raster)) {
    case 1: return row + x / 8;
    case 4: return row + x / 2;
    case 8: return row + x;
    case 24: return row + int64_t(x) * 3;
    default: return nullptr;
    }
}

} // namespace

uint32_t getpixel(const RasterImage &raster, int32_t x, int32_t y)
{
    const uint8_t *p = PixelByte(raster, x, y);
    if (!p)
        return 0;
    switch (RasterBitCount(raster)) {
    case 1: return (*p >> (7 - x % 8)) & 1u;
    case 4: return x % 2 == 0 ? *p >> 4 : *p & 15u;
    case 8: return *p;
    default: return p[2] + 256u * p[1] + 65536u * p[0];
    }
}

void setpixel(const RasterImage &raster, int32_t x, int32_t y, uint32_t value)
{
    uint8_t *p = PixelByte(raster, x, y);
    if (!p)
        return;
    switch (RasterBitCount(raster)) {
    case 1: {
        const uint8_t mask = uint8_t(0x80u >> (x % 8));
        *p = (value & 1u) ? (*p | mask) : (*p & ~mask);
        break;
    }
    case 4:
        if (x % 2 == 0)
            *p = uint8_t((*p & 0x0f) | ((value & 15u) << 4));
        else
            *p = uint8_t((*p & 0xf0) | (value & 15u));
        break;
    case 8: *p = uint8_t(value); break;
    default:
        p[0] = uint8_t(value >> 16); // blue
        p[1] = uint8_t(value >> 8);  // green
        p[2] = uint8_t(value);       // red
        break;
    }
}
