// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/CieLab.h"

#include <cmath>

namespace rastix {
namespace {

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>;

// The CIE constants: epsilon = (6/29)^3, kappa = (29/3)^3.
constexpr double kEpsilon = 216.0 / 24389.0;
constexpr double kKappa = 24389.0 / 27.0;
// sRGB's D65 white and the ICC's D50 in XYZ.
constexpr Vector kD65 = {0.950456, 1.0, 1.088754};
constexpr Vector kD50 = {0.9642, 1.0, 0.8249};
// D65's chromaticity, and how near a WhitePoint tag must be to be taken for it (the
// tag's rationals hold 0.3127 and 0.329 to a few millionths).
constexpr double kD65x = 0.3127, kD65y = 0.3290, kSameWhite = 5e-4;
// Linear sRGB from XYZ relative to D65.
constexpr Matrix kXyzToSrgb = {{{3.2404542, -1.5371385, -0.4985314},
                                {-0.9692660, 1.8760108, 0.0415560},
                                {0.0556434, -0.2040259, 1.0572252}}};
// Bradford's cone responses from XYZ.
constexpr Matrix kBradford = {
    {{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};

Vector Times(const Matrix &m, const Vector &v)
{
    Vector out{};
    for (size_t i = 0; i < 3; ++i)
        out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return out;
}

Matrix Times(const Matrix &a, const Matrix &b)
{
    Matrix out{};
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 3; ++j)
            out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return out;
}

Matrix Inverse(const Matrix &m)
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                       - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                       + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix out{};
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 3; ++j) {
            // The cofactor of m[j][i], over the determinant.
            const size_t r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            out[i][j] = (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / det;
        }
    return out;
}

// Bradford's adaptation of XYZ from one white to another.
Matrix Adaptation(const Vector &from, const Vector &to)
{
    const Vector coneFrom = Times(kBradford, from), coneTo = Times(kBradford, to);
    Matrix scale{};
    for (size_t i = 0; i < 3; ++i)
        scale[i][i] = coneTo[i] / coneFrom[i];
    return Times(Inverse(kBradford), Times(scale, kBradford));
}

Vector WhiteOf(double x, double y)
{
    if (!(x > 0.0 && y > 0.0 && x + y < 1.0))
        return kD50;
    if (std::fabs(x - kD65x) < kSameWhite && std::fabs(y - kD65y) < kSameWhite)
        return kD65;
    return {x / y, 1.0, (1.0 - x - y) / y};
}

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

LabToSrgb::LabToSrgb(double whiteX, double whiteY) : white_(WhiteOf(whiteX, whiteY))
{
    toRgb_ = white_ == kD65 ? kXyzToSrgb : Times(kXyzToSrgb, Adaptation(white_, kD65));
}

void LabToSrgb::operator()(double lightness, double a, double b, uint8_t rgb[3]) const
{
    const double fy = (lightness + 16.0) / 116.0;
    const Vector xyz = {white_[0] * Unfold(fy + a / 500.0),
                        white_[1]
                            * (lightness > kKappa * kEpsilon ? fy * fy * fy : lightness / kKappa),
                        white_[2] * Unfold(fy - b / 200.0)};
    const Vector linear = Times(toRgb_, xyz);
    for (size_t c = 0; c < 3; ++c)
        rgb[c] = Encode(linear[c]);
}

} // namespace rastix
