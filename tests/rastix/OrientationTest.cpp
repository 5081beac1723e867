// SPDX-License-Identifier: GPL-3.0-or-later
// ApplyOrientation against the literal definition of the eight orientation codes, on
// random rasters of every depth, odd sizes included: each shown pixel comes from the
// stored pixel the code names, and a turned raster keeps its colours.
#include "platform/rastix/formats/Orientation.h"
#include "platform/rastix/Rastix.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

// Stored pixel shown at (x, y) of the turned picture; w x h is the stored size.
std::pair<int, int> Source(int orientation, int x, int y, int w, int h)
{
    switch (orientation) {
    case 2: return {w - 1 - x, y};
    case 3: return {w - 1 - x, h - 1 - y};
    case 4: return {x, h - 1 - y};
    case 5: return {y, x};
    case 6: return {y, h - 1 - x};
    case 7: return {w - 1 - y, h - 1 - x};
    case 8: return {w - 1 - y, x};
    default: return {x, y};
    }
}

class Orientations : public testing::TestWithParam<std::tuple<int, int, std::pair<int, int>>> {};

TEST_P(Orientations, ShowEachPixelWhereTheCodeSays)
{
    const auto [orientation, depth, size] = GetParam();
    const auto [w, h] = size;
    RasterImage stored = newdib(w, h, depth, nullptr, 0);
    ASSERT_NE(stored.Pixels, nullptr);
    std::mt19937 random(uint32_t(orientation * 1000 + depth * 10 + w));
    const uint32_t mask = depth == 24 ? 0xFFFFFFu : (1u << depth) - 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            setpixel(stored, x, y, random() & mask);
    if (depth <= 8) {
        stored.ColourTable()[1] = RGBQUAD{1, 2, 3, 0};
        stored.Palette.palPalEntry[1] = PALETTEENTRY{3, 2, 1, 0};
    }
    // A copy of the stored pixels to compare against after the in-place changes.
    RasterImage copy = newdib(w, h, depth, nullptr, 0);
    ASSERT_NE(copy.Pixels, nullptr);
    std::copy(stored.Pixels, stored.Pixels + RasterImageSize(stored), copy.Pixels);

    const RasterImage shown = rastix::ApplyOrientation(stored, orientation);
    ASSERT_NE(shown.Pixels, nullptr);
    const bool turned = orientation >= 5;
    ASSERT_EQ(RasterWidth(shown), turned ? h : w);
    ASSERT_EQ(RasterHeight(shown), turned ? w : h);
    EXPECT_EQ(RasterBitCount(shown), depth);
    for (int y = 0; y < RasterHeight(shown); ++y) {
        for (int x = 0; x < RasterWidth(shown); ++x) {
            const auto [sx, sy] = Source(orientation, x, y, w, h);
            ASSERT_EQ(getpixel(shown, x, y), getpixel(copy, sx, sy)) << x << "," << y;
        }
    }
    if (depth <= 8) {
        EXPECT_EQ(shown.ColourTable()[1].rgbGreen, 2);
        EXPECT_EQ(shown.Palette.palPalEntry[1].peRed, 3);
    }
    deldib(shown);
    deldib(copy);
}

INSTANTIATE_TEST_SUITE_P(EveryCode, Orientations,
                         testing::Combine(testing::Range(1, 9), testing::Values(1, 4, 8, 24),
                                          testing::Values(std::pair{1, 1}, std::pair{5, 3},
                                                          std::pair{70, 9}, std::pair{9, 131})));

TEST(Orientation, UnknownCodesAndFailedRastersPassThrough)
{
    const RasterImage raster = newdib(3, 2, 8, nullptr, 0);
    for (int code : {0, 9, -1, 65535}) {
        const RasterImage same = rastix::ApplyOrientation(raster, code);
        EXPECT_EQ(same.Pixels, raster.Pixels);
        EXPECT_EQ(RasterWidth(same), 3);
    }
    deldib(raster);
    const RasterImage failed = rastix::ApplyOrientation(RasterImage{}, 6);
    EXPECT_EQ(failed.Pixels, nullptr);
}

} // namespace
