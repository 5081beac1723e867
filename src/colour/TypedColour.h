// SPDX-License-Identifier: GPL-3.0-or-later
// Bringing a number read from the hue or saturation spin edit into 0..255.
#pragma once

#include <cstdint>

namespace colour {

// While the user is still typing, the hue and saturation boxes report numbers beyond
// their range 0..255 unchanged (the box corrects its text only when it loses the
// focus). Such a number counts as the nearer end of the range: below 0 is 0, above 255
// is 255, which is also what the box itself settles on. Every hue or saturation read
// from a box passes through here before it reaches HslToRgb, CurHue or CurSat.
constexpr int32_t TypedColourByte(int32_t typed)
{
    return typed < 0 ? 0 : typed > 255 ? 255 : typed;
}

} // namespace colour
