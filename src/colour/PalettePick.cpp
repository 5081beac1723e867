// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/PalettePick.h"

#include "colour/PaletteField.h"

#include <algorithm>

namespace colour {

namespace {

// 64-bit, so no mouse position can overflow; C++ division truncates toward zero.
int32_t ClampToByte(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, 0, 255));
}

} // namespace

HueSat PaletteColourAt(int32_t X, int32_t Y)
{
    HueSat picked;
    picked.Sat = ClampToByte((int64_t(X) - PaletteFrame) * 255 / 63);
    picked.Hue = ClampToByte(int64_t(Y) - PaletteFrame);
    return picked;
}

Rect PaletteMarkerRect(int32_t hue, int32_t sat)
{
    const int32_t s = (sat * 63) / 255;
    return Rect{s, hue, s + 8, hue + 8};
}

} // namespace colour
