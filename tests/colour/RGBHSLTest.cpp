// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/RGBHSL.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>

namespace {

struct HslCase {
    int32_t hue, sat, light;
    int32_t r, g, b;
};

std::ostream &operator<<(std::ostream &os, const HslCase &c)
{
    return os << "(" << c.hue << "," << c.sat << "," << c.light << ")->(" << c.r << "," << c.g
              << "," << c.b << ")";
}

class HslToRgbWorked : public testing::TestWithParam<HslCase> {};

TEST_P(HslToRgbWorked, GivesTheKnownColour)
{
    const HslCase &c = GetParam();
    int32_t r = -1, g = -1, b = -1;
    HslToRgb(c.hue, c.sat, c.light, r, g, b);
    EXPECT_EQ(r, c.r);
    EXPECT_EQ(g, c.g);
    EXPECT_EQ(b, c.b);
}

INSTANTIATE_TEST_SUITE_P(
    PrimariesAndSecondaries, HslToRgbWorked,
    testing::Values(HslCase{0, 255, 127, 255, 0, 0}, HslCase{255, 255, 127, 255, 0, 0},
                    HslCase{85, 255, 127, 0, 255, 0}, HslCase{170, 255, 127, 0, 0, 255},
                    HslCase{43, 255, 127, 253, 255, 0}, HslCase{128, 255, 127, 0, 253, 255},
                    HslCase{213, 255, 127, 255, 0, 253}, HslCase{1, 255, 127, 255, 6, 0}));

INSTANTIATE_TEST_SUITE_P(GreyAxisAndLightness, HslToRgbWorked,
                         testing::Values(HslCase{0, 0, 127, 128, 128, 128},
                                         HslCase{0, 0, 128, 128, 128, 128},
                                         HslCase{0, 0, 255, 255, 255, 255},
                                         HslCase{0, 0, 0, 1, 1, 1}, HslCase{0, 255, 128, 255, 1, 1},
                                         HslCase{0, 255, 0, 2, 0, 0}));

INSTANTIATE_TEST_SUITE_P(SkinSwatchesAndMixed, HslToRgbWorked,
                         testing::Values(HslCase{20, 141, 128, 198, 124, 58},
                                         HslCase{20, 141, 64, 101, 63, 29},
                                         HslCase{20, 141, 196, 228, 194, 163},
                                         HslCase{143, 157, 128, 50, 149, 206}));

// A second, independent reading of the conversion: segment number and offset within
// it, then the saturation and lightness formulas written out as floor divisions.
std::array<int32_t, 3> ReferenceHsl(int32_t hue, int32_t sat, int32_t light)
{
    const int32_t p = hue * 1535 / 255;
    const int32_t seg = p / 256 > 5 ? 5 : p / 256;
    const int32_t off = p - seg * 256;
    std::array<int32_t, 3> c{};
    switch (seg) {
    case 0: c = {255, off, 0}; break;
    case 1: c = {255 - off, 255, 0}; break;
    case 2: c = {0, 255, off}; break;
    case 3: c = {0, 255 - off, 255}; break;
    case 4: c = {off, 0, 255}; break;
    default: c = {255, 0, 255 - off}; break;
    }
    for (int32_t &x : c) {
        x = (x * sat + (255 - sat) * 128) / 255;
        if (light > 127)
            x += ((255 - x) * (light - 127)) >> 7;
        else if (light < 127)
            x -= (x * (127 - light)) >> 7;
    }
    return c;
}

TEST(HslToRgbSweep, EveryInputMatchesTheReferenceAndStaysInRange)
{
    int mismatches = 0;
    for (int32_t hue = 0; hue < 256; ++hue) {
        for (int32_t sat = 0; sat < 256; ++sat) {
            for (int32_t light = 0; light < 256; ++light) {
                int32_t r, g, b;
                HslToRgb(hue, sat, light, r, g, b);
                const auto ref = ReferenceHsl(hue, sat, light);
                const bool inRange = r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255;
                const bool same = r == ref[0] && g == ref[1] && b == ref[2];
                const bool grey = sat != 0 || (r == g && g == b);
                const bool white = light != 255 || (r == 255 && g == 255 && b == 255);
                if (!(inRange && same && grey && white) && ++mismatches <= 5)
                    ADD_FAILURE() << "(" << hue << "," << sat << "," << light << ") gave (" << r
                                  << "," << g << "," << b << "), reference (" << ref[0] << ","
                                  << ref[1] << "," << ref[2] << ")";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

struct PackCase {
    int32_t r, g, b;
    uint32_t packed;
};

class ScreenColourPacking : public testing::TestWithParam<PackCase> {};

TEST_P(ScreenColourPacking, RedLowBlueHighTopByteZero)
{
    const PackCase &c = GetParam();
    EXPECT_EQ(ScreenColour(c.r, c.g, c.b), c.packed);
}

INSTANTIATE_TEST_SUITE_P(Components, ScreenColourPacking,
                         testing::Values(PackCase{255, 0, 0, 0x0000ffu},
                                         PackCase{0, 255, 0, 0x00ff00u},
                                         PackCase{0, 0, 255, 0xff0000u},
                                         PackCase{198, 124, 58, 198u + 256u * 124u + 65536u * 58u},
                                         // only the low 8 bits of each component count
                                         PackCase{256 + 1, 512 + 2, -1, 0xff0201u}));

} // namespace
