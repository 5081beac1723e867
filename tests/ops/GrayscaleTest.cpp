// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/Grayscale.h"
#include "ops/ColorizeAll.h"
#include "ops/OpsTestSupport.h"
#include "view/RasterFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

namespace {

using viewtest::OwnedRaster;

// The weighted sum divided once, straight from its definition.
uint8_t Grey(const uint8_t *bgr)
{
    return uint8_t((30 * bgr[2] + 59 * bgr[1] + 11 * bgr[0]) / 100);
}

// Every pixel byte of raster as before would become under the formula; padding kept.
std::vector<uint8_t> Expected(const OwnedRaster &raster, std::vector<uint8_t> before)
{
    const int32_t width = RasterWidth(raster.get());
    for (int32_t r = 0; r < RasterHeight(raster.get()); ++r)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t *p = before.data() + size_t(r) * size_t(raster.get().Stride) + 3 * size_t(x);
            p[0] = p[1] = p[2] = Grey(p);
        }
    return before;
}

struct GreyCase {
    std::array<uint8_t, 3> rgb;
    uint8_t grey;
};

class GrayscaleValue : public testing::TestWithParam<GreyCase> {};

TEST_P(GrayscaleValue, EveryPixelTakesTheSingleDivisionGrey)
{
    const GreyCase c = GetParam();
    OwnedRaster raster(37, 3);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 37; ++x)
            std::copy(c.rgb.rbegin(), c.rgb.rend(), raster.At(x, y));
    ops::Grayscale(raster.get(), {});
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 37; ++x)
            ASSERT_EQ(std::vector<uint8_t>(raster.At(x, y), raster.At(x, y) + 3),
                      std::vector<uint8_t>(3, c.grey))
                << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Colours, GrayscaleValue,
                         testing::Values(GreyCase{{255, 0, 0}, 76}, GreyCase{{0, 255, 0}, 150},
                                         GreyCase{{0, 0, 255}, 28}, GreyCase{{255, 255, 255}, 255},
                                         GreyCase{{100, 150, 200}, 140}, GreyCase{{0, 0, 0}, 0}));

// All 2^24 colours once on every target, against the formula.
TEST(Grayscale, EveryColourOnEveryTargetMatchesTheFormula)
{
    OwnedRaster raster(4096, 4096);
    for (uint32_t c = 0; c < (1u << 24); ++c) {
        uint8_t *p = raster.At(int32_t(c % 4096), int32_t(c / 4096));
        p[0] = uint8_t(c);
        p[1] = uint8_t(c >> 8);
        p[2] = uint8_t(c >> 16);
    }
    const auto before = raster.Copy();
    const auto expected = Expected(raster, before);
    opstest::ForEachSimdTarget([&](int64_t) {
        raster.Assign(before);
        ops::Grayscale(raster.get(), {});
        ASSERT_TRUE(raster.Copy() == expected);
    });
}

// Random sizes: padding bytes stay as they were, every pixel as the formula says.
TEST(Grayscale, RandomPicturesOnEveryTargetLeavePaddingAlone)
{
    std::mt19937 gen(5);
    opstest::ForEachSimdTarget([&](int64_t) {
        for (int trial = 0; trial < 60; ++trial) {
            const int32_t width = std::uniform_int_distribution<int32_t>(1, 200)(gen);
            const int32_t height = std::uniform_int_distribution<int32_t>(1, 4)(gen);
            OwnedRaster raster(width, height);
            raster.FillRandom(uint32_t(trial));
            const auto expected = Expected(raster, raster.Copy());
            ops::Grayscale(raster.get(), {});
            ASSERT_EQ(raster.Copy(), expected) << width << " x " << height;
        }
    });
}

TEST(Grayscale, TwiceEqualsOnceAndTheEraserStillRestoresTheOpenedPicture)
{
    OwnedRaster source(45, 20);
    OwnedRaster work(45, 20);
    source.FillRandom(7);
    work.Assign(source.Copy());
    ops::Grayscale(work.get(), {});
    const auto once = work.Copy();
    ops::Grayscale(work.get(), {});
    EXPECT_EQ(work.Copy(), once);
    EXPECT_NE(work.Copy(), source.Copy());
    ops::ColorizeAll(source.get(), work.get(), 20, 141, 0, false);
    EXPECT_EQ(work.Copy(), source.Copy());
}

TEST(Grayscale, ProgressRunsZeroThenEachRowThenZero)
{
    for (const auto &[height, wanted] :
         std::vector<std::pair<int32_t, std::vector<int32_t>>>{{3, {0, 0, 50, 100, 0}},
                                                               {1, {0, 100, 0}},
                                                               {5, {0, 0, 25, 50, 75, 100, 0}}}) {
        OwnedRaster raster(4, height);
        opstest::ProgressLog log;
        ops::Grayscale(raster.get(), log.Sink());
        EXPECT_EQ(log.values, wanted) << height;
    }
}

TEST(Grayscale, OtherDepthsAreLeftAloneButStillReportTheBoundaries)
{
    const RasterImage indexed = newdib(9, 4, 8, nullptr, 0);
    std::fill_n(indexed.Pixels, RasterImageSize(indexed), uint8_t(77));
    opstest::ProgressLog log;
    ops::Grayscale(indexed, log.Sink());
    ops::Grayscale(RasterImage{}, log.Sink());
    EXPECT_TRUE(std::all_of(indexed.Pixels, indexed.Pixels + RasterImageSize(indexed),
                            [](uint8_t b) { return b == 77; }));
    EXPECT_EQ(log.values, (std::vector<int32_t>{0, 0, 0, 0}));
    deldib(indexed);
}

} // namespace
