// SPDX-License-Identifier: GPL-3.0-or-later
// Colorize everything against DoPix called for every pixel, on every vector target.
#include "ops/ColorizeAll.h"
#include "colour/DoPix.h"
#include "ops/OpsTestSupport.h"
#include "view/RasterFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

using viewtest::OwnedRaster;

// The literal loop: W and H from the source, every position through DoPix.
void DoPixEverywhere(const OwnedRaster &source, const OwnedRaster &work, int32_t hue, int32_t sat,
                     int32_t bright, bool colorize)
{
    for (int32_t y = 0; y < RasterHeight(source.get()); ++y)
        for (int32_t x = 0; x < RasterWidth(source.get()); ++x)
            colour::DoPix(source.get(), work.get(), x, y, hue, sat, bright, colorize);
}

void RandomPictureAndColour(uint32_t seed)
{
    std::mt19937 gen(seed);
    auto pick = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(gen);
    };
    const int32_t width = pick(1, 3) == 1 ? pick(1, 5) : pick(1, 400);
    const int32_t height = pick(1, 12);
    // Now and then a work raster of another size: only the common part is written.
    const bool sameSize = pick(0, 4) != 0;
    const int32_t workWidth = sameSize ? width : pick(1, 400);
    const int32_t workHeight = sameSize ? height : pick(1, 12);
    const int32_t hue = pick(0, 255), sat = pick(0, 255);
    const int32_t bright = pick(0, 5) == 0 ? pick(-300, 300) : pick(-100, 100);
    const bool colorize = pick(0, 4) != 0;
    OwnedRaster source(width, height);
    source.FillRandom(seed * 2);
    OwnedRaster literal(workWidth, workHeight);
    literal.FillRandom(seed * 2 + 1);
    const auto before = literal.Copy();
    DoPixEverywhere(source, literal, hue, sat, bright, colorize);
    opstest::ForEachSimdTarget([&](int64_t) {
        OwnedRaster work(workWidth, workHeight);
        work.Assign(before);
        ops::ColorizeAll(source.get(), work.get(), hue, sat, bright, colorize);
        ASSERT_EQ(work.Copy(), literal.Copy())
            << width << " x " << height << " onto " << workWidth << " x " << workHeight << ", hue "
            << hue << " sat " << sat << " bright " << bright << " colorize " << colorize;
    });
}

TEST(ColorizeAllMatchesDoPix, RandomPicturesAndColoursOnEveryTarget)
{
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        RandomPictureAndColour(seed);
        if (HasFatalFailure())
            return;
    }
}

// Grey pixels of every level reach every grey value, 0..254, so each entry of the
// colour table that can be read is read, on every target.
TEST(ColorizeAll, EveryGreyLevelOnEveryTarget)
{
    OwnedRaster source(256, 1), literal(256, 1);
    for (int32_t x = 0; x < 256; ++x)
        std::fill_n(source.At(x, 0), 3, uint8_t(x));
    DoPixEverywhere(source, literal, 89, 200, 0, true);
    opstest::ForEachSimdTarget([&](int64_t) {
        OwnedRaster work(256, 1);
        ops::ColorizeAll(source.get(), work.get(), 89, 200, 0, true);
        ASSERT_EQ(work.Copy(), literal.Copy());
    });
}

// One raster as both: DoPix reads each pixel before writing it, so it colours in place.
TEST(ColorizeAll, OneRasterAsSourceAndWorkIsColouredInPlace)
{
    OwnedRaster literal(300, 3);
    literal.FillRandom(9);
    OwnedRaster work(300, 3);
    work.Assign(literal.Copy());
    DoPixEverywhere(literal, literal, 23, 117, 30, true);
    opstest::ForEachSimdTarget([&](int64_t) {
        OwnedRaster fast(300, 3);
        fast.Assign(work.Copy());
        ops::ColorizeAll(fast.get(), fast.get(), 23, 117, 30, true);
        ASSERT_EQ(fast.Copy(), literal.Copy());
    });
}

TEST(ColorizeAll, EraserMakesTheWorkPictureTheOpenedOne)
{
    OwnedRaster source(77, 9);
    OwnedRaster work(77, 9);
    source.FillRandom(1);
    work.FillRandom(2);
    ops::ColorizeAll(source.get(), work.get(), 20, 141, 0, true);
    ops::ColorizeAll(source.get(), work.get(), 20, 141, 0, false);
    for (int32_t y = 0; y < 9; ++y)
        EXPECT_EQ(0, std::memcmp(work.At(0, y), source.At(0, y), 3 * 77)) << y;
}

TEST(ColorizeAll, RastersWithoutPixelsOrOfOtherDepthsAreLeftAlone)
{
    OwnedRaster source(6, 6);
    source.FillRandom(3);
    const RasterImage indexed = newdib(6, 6, 8, nullptr, 0);
    ops::ColorizeAll(source.get(), indexed, 0, 0, 0, false);
    EXPECT_TRUE(std::all_of(indexed.Pixels, indexed.Pixels + RasterImageSize(indexed),
                            [](uint8_t b) { return b == 0; }));
    deldib(indexed);
    ops::ColorizeAll(source.get(), RasterImage{}, 0, 0, 0, true);
    ops::ColorizeAll(RasterImage{}, source.get(), 0, 0, 0, true);
}

} // namespace
