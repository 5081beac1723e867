// SPDX-License-Identifier: GPL-3.0-or-later
// The per-pixel colorize and erase operation behind the brush and "Colorize
// everything": it reads one pixel of the source raster (the picture as opened) and
// writes the pixel at the same position of the work raster. It never reads the work
// raster, so the result depends only on the source pixel and the parameters.
#pragma once

#include "platform/rastix/Rastix.h"

#include <cstdint>

namespace colour {

// Grey value of a pixel: three separately truncated divisions, so the result runs
// 0..254 (white gives 254, mid-grey 128 gives 127).
constexpr int32_t GreyValue(int32_t r, int32_t g, int32_t b)
{
    return (r * 30) / 100 + (g * 59) / 100 + (b * 11) / 100;
}

// Shifts a grey value by a brightness: -100 gives 0, +100 gives 255, 0 leaves it
// unchanged, truncating division. A brightness beyond -100..100 (a number still being
// typed into its field) counts as -100 or 100, so the lightness stays within 0..255 as
// HslToRgb needs and the arithmetic cannot overflow.
constexpr int32_t ApplyBrightness(int32_t grey, int32_t brightness)
{
    const int32_t b = brightness < -100 ? -100 : brightness > 100 ? 100 : brightness;
    if (b < 0)
        return grey - (-b * grey) / 100;
    if (b > 0)
        return grey + ((255 - grey) * b) / 100;
    return grey;
}

// Colorize (colorize set): the pixel at raster position (x, y) (column from the left,
// row from the top) of work becomes HslToRgb(hue, saturation, ApplyBrightness(grey of
// the source pixel, brightness)). Erase (colorize clear): it becomes the source pixel.
// All three bytes are written either way; the low 8 bits of each channel are stored.
// Positions outside the source raster are ignored. Both rasters must be 24-bit; the
// position is also tested against the work raster and a raster without pixel memory is
// left alone, so rasters of unequal size can never be written out of bounds.
// No repaint; the caller repaints.
void DoPix(const RasterImage &source, const RasterImage &work, int32_t x, int32_t y, int32_t hue,
           int32_t saturation, int32_t brightness, bool colorize);

} // namespace colour
