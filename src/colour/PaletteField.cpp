// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/PaletteField.h"

#include "colour/RGBHSL.h"

namespace colour {

void FillPaletteField(const RasterImage &raster)
{
    if (!raster.Pixels)
        return;
    for (int32_t y = 0; y < PaletteRows; ++y) {
        for (int32_t x = 0; x < PaletteColumns; ++x) {
            int32_t r = 0, g = 0, b = 0;
            HslToRgb(y, PaletteColumnSaturation(x), 128, r, g, b);
            setpixel(raster, x, y, ScreenColour(r, g, b));
        }
    }
}

} // namespace colour
