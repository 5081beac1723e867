// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/DoPix.h"

#include "colour/RGBHSL.h"

namespace colour {

void DoPix(const RasterImage &source, const RasterImage &work, int32_t x, int32_t y, int32_t hue,
           int32_t saturation, int32_t brightness, bool colorize)
{
    const int32_t height = RasterHeight(source);
    if (x < 0 || y < 0 || x >= RasterWidth(source) || y >= height)
        return;
    const int32_t workHeight = RasterHeight(work);
    if (x >= RasterWidth(work) || y >= workHeight || !source.Pixels || !work.Pixels)
        return;

    // Pixels are B, G, R.
    const uint8_t *s = PictureRow(source, y) + 3 * ptrdiff_t(x);
    int32_t b = s[0];
    int32_t g = s[1];
    int32_t r = s[2];

    if (colorize) {
        const int32_t light = ApplyBrightness(GreyValue(r, g, b), brightness);
        HslToRgb(hue, saturation, light, r, g, b);
    }

    uint8_t *d = PictureRow(work, y) + 3 * ptrdiff_t(x);
    d[0] = uint8_t(b);
    d[1] = uint8_t(g);
    d[2] = uint8_t(r);
}

} // namespace colour
