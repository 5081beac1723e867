// SPDX-License-Identifier: GPL-3.0-or-later
// CIE L*a*b* to sRGB, for pictures stored in L*a*b*: L* 0..100, a* and b* about -128..127,
// relative to a reference white (so L* 100 with a* = b* = 0 is that white), through CIE
// XYZ, Bradford chromatic adaptation from that white to sRGB's D65 white, and the sRGB
// primaries and transfer curve; each component clamped to 0..1 and rounded to 8 bits.
// The white is given by its chromaticity, as TIFF's WhitePoint tag holds it; without one
// it is D50 (the ICC's 0.9642, 1, 0.8249), to which TIFF's L*a*b* is referred in
// practice. A D65 white is taken as it is, without adaptation: the conversion
// ImageMagick applies when it shows such a picture.
#pragma once

#include <array>
#include <cstdint>

namespace rastix {

class LabToSrgb {
public:
    // x and y: the white's chromaticity; D50 when they are not a colour's (0, 0 for a
    // file without the tag).
    explicit LabToSrgb(double whiteX = 0.0, double whiteY = 0.0);

    void operator()(double lightness, double a, double b, uint8_t rgb[3]) const;

private:
    std::array<double, 3> white_;                // the reference white in XYZ, Y = 1
    std::array<std::array<double, 3>, 3> toRgb_; // its XYZ to linear sRGB, adaptation included
};

} // namespace rastix
