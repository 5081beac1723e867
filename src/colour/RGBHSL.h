// SPDX-License-Identifier: GPL-3.0-or-later
// The one colour conversion of the program: hue, saturation and lightness on byte
// scales to red, green and blue, in 32-bit integer arithmetic only, and the packing
// of a colour into the screen colour that pens, brushes and setpixel take.
#pragma once

#include <cstdint>

// Hue, Sat and Light within 0..255 give R, G and B within 0..255. Hue 0 and 255 are
// red; Sat 0 is grey 128 before lightness; Light 127 is neutral, 255 gives white and 0
// leaves a small remainder (255 -> 2, 128 -> 1). Every division truncates toward zero.
// No state, no failure. Callers keep the inputs in range.
void HslToRgb(int32_t Hue, int32_t Sat, int32_t Light, int32_t &R, int32_t &G, int32_t &B);

// The screen colour R + 256 G + 65536 B from the low 8 bits of each component; the
// top byte is 0.
constexpr uint32_t ScreenColour(int32_t R, int32_t G, int32_t B)
{
    return (uint32_t(R) & 0xffu) | ((uint32_t(G) & 0xffu) << 8) | ((uint32_t(B) & 0xffu) << 16);
}
