// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/RGBHSL.h"

namespace {

// Mixes a pure-hue channel with grey 128 by the saturation.
int32_t Saturate(int32_t x0, int32_t sat)
{
    return (x0 * sat + (255 - sat) * 128) / 255;
}

// Moves a channel towards 255 (Light > 127) or towards 0 (Light < 127). The divisor is
// 128 both ways, so Light 255 reaches 255 exactly while Light 0 leaves a remainder.
int32_t Lighten(int32_t x1, int32_t light)
{
    if (light > 127)
        return x1 + ((255 - x1) * (light - 127)) / 128;
    if (light < 127)
        return x1 - (x1 * (127 - light)) / 128;
    return x1;
}

} // namespace

void HslToRgb(int32_t Hue, int32_t Sat, int32_t Light, int32_t &R, int32_t &G, int32_t &B)
{
    // Six segments of 256 hue positions around the colour circle.
    const int32_t p = (Hue * 1535) / 255;
    int32_t r0 = 0;
    int32_t g0 = 0;
    int32_t b0 = 0;
    if (p <= 255) {
        r0 = 255;
        g0 = p;
    } else if (p <= 511) {
        r0 = 511 - p;
        g0 = 255;
    } else if (p <= 767) {
        g0 = 255;
        b0 = p - 512;
    } else if (p <= 1023) {
        g0 = 1023 - p;
        b0 = 255;
    } else if (p <= 1279) {
        r0 = p - 1024;
        b0 = 255;
    } else {
        r0 = 255;
        b0 = 1535 - p;
    }

    R = Lighten(Saturate(r0, Sat), Light);
    G = Lighten(Saturate(g0, Sat), Light);
    B = Lighten(Saturate(b0, Sat), Light);
}
