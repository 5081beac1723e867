// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/CieLab.h"

#include <cmath>

namespace rastix {
namespace {

// The CIE constants: epsilon = (6/29)^3, kappa = (29/3)^3.
constexpr double kEpsilon = 216.0 / 24389.0;
constexpr double kKappa = 24389.0 / 27.0;
// D65 white in XYZ.
constexpr double kWhiteX = 0.950456, kWhiteY = 1.0, kWhiteZ = 1.088754;

double Unfold(double t)
{
    const double cube = t * t * t;
    return cube > kEpsilon ? cube : (116.0 * t - 16.0) / kKappa;
}

uint8_t Encode(double linear)
{
    double v = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    if (!(v > 0.0))
        v = 0.0;
    if (v > 1.0)
        v = 1.0;
    return uint8_t(v * 255.0 + 0.5);
}

} // namespace

void LabToSrgb(double lightness, double a, double b, uint8_t rgb[3])
{
    const double fy = (lightness + 16.0) / 116.0;
    const double x = kWhiteX * Unfold(fy + a / 500.0);
    const double y = kWhiteY * (lightness > kKappa * kEpsilon ? fy * fy * fy : lightness / kKappa);
    const double z = kWhiteZ * Unfold(fy - b / 200.0);
    rgb[0] = Encode(3.2404542 * x - 1.5371385 * y - 0.4985314 * z);
    rgb[1] = Encode(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z);
    rgb[2] = Encode(0.0556434 * x - 0.2040259 * y + 1.0572252 * z);
}

} // namespace rastix
