// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/Rastix.h"

#include <cstring>

int32_t RasterWidth(const RasterImage &raster)
{
    return raster.Bitmap ? raster.Header()->biWidth : 0;
}

int32_t RasterHeight(const RasterImage &raster)
{
    return raster.Bitmap ? raster.Header()->biHeight : 0;
}

int32_t RasterBitCount(const RasterImage &raster)
{
    return raster.Bitmap ? int32_t(raster.Header()->biBitCount) : 0;
}

int32_t PowerOfTwo(int32_t n)
{
    // Unsigned doubling, so n of 31 or more wraps instead of overflowing.
    uint32_t result = 1;
    for (int32_t i = 0; i < n; ++i)
        result *= 2;
    return int32_t(result);
}

int32_t RasterColourCount(const RasterImage &raster)
{
    return PowerOfTwo(RasterBitCount(raster));
}

uint32_t RasterImageSize(const RasterImage &raster)
{
    return raster.Bitmap ? raster.Header()->biSizeImage : 0;
}

std::string RasterErrorText(const RasterImage &raster)
{
    const auto *text = reinterpret_cast<const char *>(raster.Palette.palPalEntry);
    return std::string(text, strnlen(text, sizeof raster.Palette.palPalEntry));
}
