// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/KeepTone.h"
#include "colour/DoPix.h"
#include "colour/GreyColourTable.h"
#include "colour/RGBHSL.h"
#include "support/ToneFigures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using tonefigures::Linear;

double Luminance(int32_t r, int32_t g, int32_t b)
{
    return 0.2126 * Linear(r) + 0.7152 * Linear(g) + 0.0722 * Linear(b);
}

// The rule written out plainly, with the sRGB matrix solved afresh: the colour's CIE
// hue and chroma at the grey's lightness, the chroma halved down to what fits, then
// the rounding whose luminance is nearest.
colour::KeptColour PlainKeepTone(int32_t r, int32_t g, int32_t b, int32_t level)
{
    const tonefigures::Lab lab = tonefigures::ToLab(r, g, b);
    const double targetY = Linear(level);
    const double targetL = tonefigures::ToLab(level, level, level).L;
    const auto linearOf = [&](double scale, double out[3]) {
        const double fy = (targetL + 16) / 116;
        const auto inv = [](double f) {
            constexpr double e = 6.0 / 29;
            return f > e ? f * f * f : 3 * e * e * (f - 4.0 / 29);
        };
        const double x = 0.95047 * inv(fy + scale * lab.a / 500);
        const double y = inv(fy);
        const double z = 1.08883 * inv(fy - scale * lab.b / 200);
        // Solve M (r, g, b) = (x, y, z) by Cramer's rule, M the matrix ToLab uses.
        const double m[3][3] = {{0.4124564, 0.3575761, 0.1804375},
                                {0.2126, 0.7152, 0.0722},
                                {0.0193339, 0.1191920, 0.9503041}};
        const double rhs[3] = {x, y, z};
        const auto det = [](const double a[3][3]) {
            return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1])
                   - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
                   + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
        };
        for (int column = 0; column < 3; ++column) {
            double replaced[3][3];
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    replaced[i][j] = j == column ? rhs[i] : m[i][j];
            out[column] = det(replaced) / det(m);
        }
        return std::all_of(out, out + 3, [](double v) { return v >= 0 && v <= 1; });
    };
    double p[3];
    double scale = 1;
    if (!linearOf(1, p)) {
        double low = 0, high = 1;
        for (int i = 0; i < 60; ++i)
            (linearOf((low + high) / 2, p) ? low : high) = (low + high) / 2;
        scale = low;
        linearOf(scale, p);
    }
    colour::KeptColour best{};
    double bestError = 2;
    for (int pick = 0; pick < 8; ++pick) {
        int32_t v[3];
        for (int i = 0; i < 3; ++i) {
            const double c = std::clamp(p[i], 0.0, 1.0);
            double e = 255 * (c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055);
            e = std::abs(e - std::round(e)) < 1e-6 ? std::round(e) : e;
            v[i] = int32_t((pick >> (2 - i)) & 1 ? std::ceil(e) : std::floor(e));
        }
        const double error = std::abs(Luminance(v[0], v[1], v[2]) - targetY);
        if (error < bestError)
            bestError = error, best = {uint8_t(v[0]), uint8_t(v[1]), uint8_t(v[2])};
    }
    return best;
}

} // namespace

// What the tone rule promises across the painted colours of every grey: lightness within
// rounding of the grey's, the plain colour's CIE hue, and the grey itself where black or
// white leave no room for colour. Without it the table is DoPix's colours exactly.
TEST(KeepTone, SweepKeepsLightnessAndHue)
{
    for (int32_t bright : {-100, 0, 100}) {
        SCOPED_TRACE(bright);
        const tonefigures::Figures kept = tonefigures::Sweep(bright, true);
        EXPECT_LE(kept.largestLightness, 1.0);
        EXPECT_LE(kept.meanLightness, 0.3);
        EXPECT_LE(kept.largestHueDrift, 2.0);
        EXPECT_GT(kept.noRoom, 0u);
        EXPECT_EQ(kept.greyWhereNoRoom, kept.noRoom);
    }
    // The same sweep with tones left alone misses by tens of L* units at mid grey.
    EXPECT_GT(tonefigures::Sweep(0, false).largestLightness, 30.0);

    for (int32_t hue = 0; hue < 256; hue += 4)
        for (int32_t sat = 40; sat <= 255; sat += 5)
            for (int32_t bright : {-100, 0, 100}) {
                const auto table = colour::MakeGreyColourTable(colour::Paint{hue, sat, bright});
                for (int32_t grey = 0; grey < 256; ++grey) {
                    int32_t r = 0, g = 0, b = 0;
                    HslToRgb(hue, sat, colour::ApplyBrightness(grey, bright), r, g, b);
                    ASSERT_EQ(table.Red[size_t(grey)], r);
                    ASSERT_EQ(table.Green[size_t(grey)], g);
                    ASSERT_EQ(table.Blue[size_t(grey)], b);
                }
            }
}

// Every 15th level of each channel at every 5th grey level.
TEST(KeepTone, MatchesThePlainRule)
{
    for (int32_t r = 0; r < 256; r += 15)
        for (int32_t g = 0; g < 256; g += 15)
            for (int32_t b = 0; b < 256; b += 15)
                for (int32_t level = 0; level < 256; level += 5)
                    ASSERT_EQ(colour::KeepTone(r, g, b, level), PlainKeepTone(r, g, b, level))
                        << r << "," << g << "," << b << " at " << level;
}

TEST(KeepTone, GreysStayTheirGreyAndInputsOutsideTheRangeClamp)
{
    for (int32_t v = 0; v < 256; v += 3)
        for (int32_t level = 0; level < 256; ++level) {
            const auto kept = colour::KeepTone(v, v, v, level);
            ASSERT_EQ(kept, (colour::KeptColour{uint8_t(level), uint8_t(level), uint8_t(level)}))
                << v << " at " << level;
        }
    EXPECT_EQ(colour::KeepTone(-5, 300, 17, 999), colour::KeepTone(0, 255, 17, 255));
    EXPECT_EQ(colour::KeepTone(200, 40, 90, -3), colour::KeepTone(200, 40, 90, 0));
}

// The table with tones kept is KeepTone of each DoPix colour; the brush, "Colorize
// everything" and the history read their colours from it.
TEST(KeepTone, TableHoldsTheKeptColourOfEachGrey)
{
    for (const colour::Paint paint :
         {colour::Paint{20, 141, 0, true}, colour::Paint{143, 157, -35, true},
          colour::Paint{55, 255, 60, true}, colour::Paint{0, 0, 0, true}}) {
        const auto table = colour::MakeGreyColourTable(paint);
        for (int32_t grey = 0; grey < 256; ++grey) {
            const int32_t level = colour::ApplyBrightness(grey, paint.brightness);
            int32_t r = 0, g = 0, b = 0;
            HslToRgb(paint.hue, paint.saturation, level, r, g, b);
            const auto kept = colour::KeepTone(r, g, b, level);
            ASSERT_EQ(table.Red[size_t(grey)], kept.r);
            ASSERT_EQ(table.Green[size_t(grey)], kept.g);
            ASSERT_EQ(table.Blue[size_t(grey)], kept.b);
            ASSERT_EQ(table.Packed[size_t(grey)],
                      uint32_t(kept.b) | uint32_t(kept.g) << 8 | uint32_t(kept.r) << 16);
        }
    }
}
