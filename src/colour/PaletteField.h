// SPDX-License-Identifier: GPL-3.0-or-later
// The hue/saturation field of the palette picker: a 64 x 256 raster, hue running down
// the rows (0 at the top) and saturation across the columns (0 at the left), every
// pixel at lightness 128. The picker box shows it unscaled inside a 4-pixel frame.
#pragma once

#include "platform/rastix/Rastix.h"

#include <cstdint>

namespace colour {

constexpr int32_t PaletteColumns = 64;
constexpr int32_t PaletteRows = 256;
// Box position of palette pixel (0, 0): the width of the frame around the field.
constexpr int32_t PaletteFrame = 4;
// The picker box: the field and its frame on every side.
constexpr int32_t PaletteBoxWidth = PaletteColumns + 2 * PaletteFrame;
constexpr int32_t PaletteBoxHeight = PaletteRows + 2 * PaletteFrame;

// Saturation of palette column x (0..63): (x * 255) div 63, so 0, 4, 8, ... 250, 255.
constexpr int32_t PaletteColumnSaturation(int32_t x)
{
    return (x * 255) / 63;
}

// Writes the field into a 64 x 256, 24-bit raster with setpixel, row by row from hue 0:
// pixel (x, y) becomes HslToRgb(y, PaletteColumnSaturation(x), 128) as a screen colour.
// A raster without pixel memory is left alone: nothing is written anywhere.
void FillPaletteField(const RasterImage &raster);

} // namespace colour
