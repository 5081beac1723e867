// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/KeepTone.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace colour {

namespace {

// Linear sRGB to CIE XYZ (D65); the middle row is the Rec. 709 luminance.
constexpr double kToXyz[3][3] = {{0.4124564, 0.3575761, 0.1804375},
                                 {0.2126, 0.7152, 0.0722},
                                 {0.0193339, 0.1191920, 0.9503041}};
// The white of each XYZ row: the row sums, so that linear (1, 1, 1) is white.
constexpr double kWhite[3] = {0.95047, 1.0, 1.08883};

struct Linear3 {
    double v[3];
};

double Decode(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Encode(double x)
{
    return x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1 / 2.4) - 0.055;
}

// Linear light of each 8-bit level.
const std::array<double, 256> &LinearLevels()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (size_t v = 0; v < t.size(); ++v)
            t[v] = Decode(double(v) / 255);
        return t;
    }();
    return table;
}

// XYZ back to linear sRGB: the inverse of kToXyz.
const std::array<std::array<double, 3>, 3> &FromXyz()
{
    static const std::array<std::array<double, 3>, 3> inverse = [] {
        const auto &m = kToXyz;
        const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                           - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                           + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        std::array<std::array<double, 3>, 3> inv{};
        for (size_t i = 0; i < 3; ++i)
            for (size_t j = 0; j < 3; ++j) {
                // Cofactor of m[j][i], for the transposed adjugate.
                const size_t r0 = (j + 1) % 3, r1 = (j + 2) % 3;
                const size_t c0 = (i + 1) % 3, c1 = (i + 2) % 3;
                inv[i][j] = (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / det;
            }
        return inv;
    }();
    return inverse;
}

constexpr double kEpsilon = 6.0 / 29;

double LabF(double t)
{
    return t > kEpsilon * kEpsilon * kEpsilon ? std::cbrt(t)
                                              : t / (3 * kEpsilon * kEpsilon) + 4.0 / 29;
}

double LabFInverse(double f)
{
    return f > kEpsilon ? f * f * f : 3 * kEpsilon * kEpsilon * (f - 4.0 / 29);
}

// Linear sRGB of the CIE colour with lightness fy (as LabF of Y), a* = a and b* = b.
Linear3 FromLab(double fy, double a, double b)
{
    const double xyz[3] = {kWhite[0] * LabFInverse(fy + a / 500), LabFInverse(fy),
                           kWhite[2] * LabFInverse(fy - b / 200)};
    const auto &inv = FromXyz();
    Linear3 out{};
    for (size_t i = 0; i < 3; ++i)
        out.v[i] = inv[i][0] * xyz[0] + inv[i][1] * xyz[1] + inv[i][2] * xyz[2];
    return out;
}

bool InCube(const Linear3 &c)
{
    return std::all_of(c.v, c.v + 3, [](double v) { return v >= 0 && v <= 1; });
}

int32_t Byte(int32_t v)
{
    return std::clamp(v, 0, 255);
}

} // namespace

KeptColour KeepTone(int32_t r, int32_t g, int32_t b, int32_t level)
{
    const auto &lin = LinearLevels();
    const double target = lin[size_t(Byte(level))];
    const double c[3] = {lin[size_t(Byte(r))], lin[size_t(Byte(g))], lin[size_t(Byte(b))]};
    double f[3];
    for (size_t i = 0; i < 3; ++i)
        f[i] = LabF((kToXyz[i][0] * c[0] + kToXyz[i][1] * c[1] + kToXyz[i][2] * c[2]) / kWhite[i]);
    const double a = 500 * (f[0] - f[1]), bStar = 200 * (f[1] - f[2]);

    // The colour's hue and chroma at the target lightness; the chroma that fits.
    const double fy = LabF(target);
    double scale = 1;
    Linear3 p = FromLab(fy, a, bStar);
    if (!InCube(p)) {
        double low = 0, high = 1;
        for (int32_t step = 0; step < 40; ++step) {
            const double mid = (low + high) / 2;
            (InCube(FromLab(fy, mid * a, mid * bStar)) ? low : high) = mid;
        }
        scale = low;
        p = FromLab(fy, scale * a, scale * bStar);
    }

    int32_t down[3], up[3];
    for (size_t i = 0; i < 3; ++i) {
        double e = 255 * Encode(std::clamp(p.v[i], 0.0, 1.0));
        // A channel on a whole level (as one the chroma search leaves at the cube's face
        // is, to within its last halving) rounds to that level only.
        if (std::abs(e - std::round(e)) < 1e-6)
            e = std::round(e);
        down[i] = Byte(int32_t(std::floor(e)));
        up[i] = Byte(int32_t(std::ceil(e)));
    }
    KeptColour best{};
    double bestError = 2;
    for (int32_t pick = 0; pick < 8; ++pick) {
        const int32_t v[3] = {pick & 4 ? up[0] : down[0], pick & 2 ? up[1] : down[1],
                              pick & 1 ? up[2] : down[2]};
        const double y = kToXyz[1][0] * lin[size_t(v[0])] + kToXyz[1][1] * lin[size_t(v[1])]
                         + kToXyz[1][2] * lin[size_t(v[2])];
        const double error = std::abs(y - target);
        if (error < bestError) {
            bestError = error;
            best = {uint8_t(v[0]), uint8_t(v[1]), uint8_t(v[2])};
        }
    }
    return best;
}

} // namespace colour
