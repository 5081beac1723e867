// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/Paint.h"

#include "colour/RGBHSL.h"
#include "view/DoPix.h"

namespace history {

ColourTable MakeColourTable(const Paint &paint)
{
    ColourTable table{};
    for (int32_t grey = 0; grey < 256; ++grey) {
        int32_t r = 0, g = 0, b = 0;
        HslToRgb(paint.hue, paint.saturation, view::ApplyBrightness(grey, paint.brightness), r, g,
                 b);
        table[size_t(grey)] = {uint8_t(b), uint8_t(g), uint8_t(r)};
    }
    return table;
}

} // namespace history
