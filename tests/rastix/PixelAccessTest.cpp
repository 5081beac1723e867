// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/Rastix.h"

#include <gtest/gtest.h>

namespace {

struct DepthCase {
    int32_t bits;
    uint32_t value; // a value the depth holds in full
};

class PixelAccess : public testing::TestWithParam<DepthCase> {};

TEST_P(PixelAccess, EveryPixelRoundTripsWithoutTouchingItsNeighbours)
{
    const DepthCase c = GetParam();
    const int w = 13, h = 5;
    RasterImage raster = newdib(w, h, c.bits, nullptr, 0);
    ASSERT_NE(raster.Pixels, nullptr);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            setpixel(raster, x, y, c.value);
            for (int yy = 0; yy < h; ++yy)
                for (int xx = 0; xx < w; ++xx) {
                    const bool written = yy < y || (yy == y && xx <= x);
                    ASSERT_EQ(getpixel(raster, xx, yy), written ? c.value : 0u)
                        << "after writing " << x << "," << y << " pixel " << xx << "," << yy;
                }
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            setpixel(raster, x, y, 0);
            ASSERT_EQ(getpixel(raster, x, y), 0u);
        }
    deldib(raster);
}

TEST_P(PixelAccess, OutsideTheRasterReadsZeroAndWritesNothing)
{
    const DepthCase c = GetParam();
    RasterImage raster = newdib(3, 2, c.bits, nullptr, 0);
    for (const auto &[x, y] :
         {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {INT32_MIN, 0}, {0, INT32_MAX}}) {
        setpixel(raster, x, y, c.value);
        EXPECT_EQ(getpixel(raster, x, y), 0u);
    }
    for (uint32_t i = 0; i < RasterImageSize(raster); ++i)
        ASSERT_EQ(raster.Pixels[i], 0) << i;
    EXPECT_EQ(getpixel(RasterImage{}, 0, 0), 0u);
    setpixel(RasterImage{}, 0, 0, 1);
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(Depths, PixelAccess,
                         testing::Values(DepthCase{1, 1}, DepthCase{4, 15}, DepthCase{4, 9},
                                         DepthCase{8, 255}, DepthCase{8, 170},
                                         DepthCase{24, 0xffffff}, DepthCase{24, 0x123456}));

TEST(PixelLayout, TopLeftLivesInTheLastMemoryRow)
{
    RasterImage raster = newdib(2, 3, 24, nullptr, 0);
    setpixel(raster, 0, 0, 0x0000ff); // red
    const uint8_t *last = raster.Pixels + raster.Stride * 2;
    EXPECT_EQ(last[0], 0);   // blue
    EXPECT_EQ(last[2], 255); // red
    EXPECT_EQ(raster.Pixels[2], 0);
    setpixel(raster, 1, 2, 0x563412); // bottom right: B 0x56, G 0x34, R 0x12
    EXPECT_EQ(raster.Pixels[3], 0x56);
    EXPECT_EQ(raster.Pixels[4], 0x34);
    EXPECT_EQ(raster.Pixels[5], 0x12);
    deldib(raster);
}

TEST(PixelLayout, OddWidthFourBitRowEndsInAHighNibble)
{
    RasterImage raster = newdib(5, 2, 4, nullptr, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            setpixel(raster, x, y, uint32_t(x + 1 + 8 * y) & 15);
    // Top row (memory row 1): 1 2 | 3 4 | 5 -
    const uint8_t *top = raster.Pixels + raster.Stride;
    EXPECT_EQ(top[0], 0x12);
    EXPECT_EQ(top[1], 0x34);
    EXPECT_EQ(top[2], 0x50);
    EXPECT_EQ(raster.Pixels[2], 0xd0); // bottom row's last pixel, 13
    deldib(raster);
}

TEST(PixelLayout, OneBitPixelsRunFromTheHighBit)
{
    RasterImage raster = newdib(10, 1, 1, nullptr, 0);
    setpixel(raster, 0, 0, 1);
    setpixel(raster, 9, 0, 3); // only the low bit counts
    EXPECT_EQ(raster.Pixels[0], 0x80);
    EXPECT_EQ(raster.Pixels[1], 0x40);
    deldib(raster);
}

} // namespace
