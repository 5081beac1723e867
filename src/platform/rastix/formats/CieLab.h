// SPDX-License-Identifier: GPL-3.0-or-later
// CIE L*a*b* to sRGB, for pictures stored in L*a*b*: L* 0..100, a* and b* about -128..127,
// relative to the D65 white (so L* 100 with a* = b* = 0 is white), through CIE XYZ and the
// sRGB primaries and transfer curve; each component clamped to 0..1 and rounded to 8 bits.
// This is the conversion ImageMagick applies when it shows such a picture.
#pragma once

#include <cstdint>

namespace rastix {

void LabToSrgb(double lightness, double a, double b, uint8_t rgb[3]);

} // namespace rastix
