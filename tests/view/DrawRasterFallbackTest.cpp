// SPDX-License-Identifier: GPL-3.0-or-later
// DrawRaster's stretched path when the device refuses StretchDIBits: the resampled
// copy, the compatible bitmap, and their messages.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TestDC.h"
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"
#include "view/DrawRaster.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr QRgb kBackground = 0xff808080u;

RasterImage MakeRaster(int width, int height, int depth)
{
    RasterImage raster = newdib(width, height, depth, nullptr, 0);
    if (depth <= 8)
        for (int i = 0; i < (1 << depth); ++i)
            raster.ColourTable()[i] = RGBQUAD{uint8_t(i * 17), uint8_t(200 - i), uint8_t(i * 5), 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(raster, x, y,
                     depth == 24 ? uint32_t(x * 20) | uint32_t(y * 30) << 8 | 0x400000u
                                 : uint32_t(x * 3 + y) % (1u << depth));
    return raster;
}

QRgb At(const testsupport::RgbPicture &p, int x, int y)
{
    return qRgb(p.r(x, y), p.g(x, y), p.b(x, y));
}

class FirstFallback : public ::testing::TestWithParam<int> {};

// Destination pixel (x, y) shows source ((W - 1) x div (dw - 1), (H - 1) y div (dh - 1)):
// both corners land on the corners. Rows are spread in memory order, from the bottom.
TEST_P(FirstFallback, SpreadsSourceCornersToDestinationCorners)
{
    const int depth = GetParam();
    const RasterImage raster = MakeRaster(7, 5, depth);
    const testsupport::RgbPicture rgb = testsupport::RasterToRgb(raster);
    gdi::TestDC dc({.width = 14, .height = 9, .printer = true, .refuseStretchDIBits = true});
    DrawRaster(&dc, 0, 0, 13, 9, raster, 0, 0, 7, 5, true, SRCCOPY, true, nullptr);
    EXPECT_EQ(dc.CountOf("SetDIBitsToDevice"), 1);
    EXPECT_EQ(dc.CountOf("StretchBlt"), 0);
    for (int y = 0; y < 9; ++y) {
        const int memoryRow = 8 - y;
        const int sourceRow = 4 - (4 * memoryRow) / 8;
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(dc.Image().pixel(x, y),
                      At(rgb, 6 * x / 12, depth == 1 ? 4 * y / 8 : sourceRow))
                << x << "," << y;
    }
    EXPECT_EQ(dc.Image().pixel(13, 0), kBackground);
    EXPECT_TRUE(dc.Messages().empty());
    deldib(raster);
}

TEST_P(FirstFallback, OnePixelWideOrHighTakesTheFirstColumnOrRow)
{
    const int depth = GetParam();
    const RasterImage raster = MakeRaster(7, 5, depth);
    const testsupport::RgbPicture rgb = testsupport::RasterToRgb(raster);
    gdi::TestDC dc({.width = 10, .height = 8, .printer = true, .refuseStretchDIBits = true});
    // Source columns 2..5, all rows: a 1-pixel-wide destination shows column 2.
    DrawRaster(&dc, 0, 0, 1, 5, raster, 2, 0, 4, 5, true, SRCCOPY, true, nullptr);
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(dc.Image().pixel(0, y), At(rgb, 2, y)) << y;
    // A 1-pixel-high destination of all rows shows one whole row, no division by zero.
    DrawRaster(&dc, 2, 7, 7, 1, raster, 0, 0, 7, 5, true, SRCCOPY, true, nullptr);
    const int row = depth == 1 ? 0 : 4; // the bottom row in memory order
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(dc.Image().pixel(2 + x, 7), At(rgb, x, row)) << x;
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(Depths, FirstFallback, ::testing::Values(1, 4, 8, 24));

struct Refusal {
    gdi::TestDCOptions options;
    std::vector<std::string> messages;
    bool drawn;
    int depth = 4;
};

class SecondFallback : public ::testing::TestWithParam<Refusal> {};

TEST_P(SecondFallback, ReportsEachRefusalAndOtherwiseCopiesThroughABitmap)
{
    const Refusal &refusal = GetParam();
    const RasterImage raster = MakeRaster(6, 4, refusal.depth);
    const testsupport::RgbPicture rgb = testsupport::RasterToRgb(raster);
    gdi::TestDC dc(refusal.options);
    // Source columns 1..4, rows 1..2 from the bottom (picture rows 1..2).
    DrawRaster(&dc, 0, 0, 8, 4, raster, 1, 1, 4, 2, true, SRCCOPY, true, nullptr);
    EXPECT_EQ(dc.Messages(), refusal.messages);
    if (refusal.drawn) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(dc.Image().pixel(x, y), At(rgb, 1 + x / 2, 1 + y / 2)) << x << "," << y;
    } else {
        EXPECT_EQ(dc.Image().pixel(0, 0), kBackground);
    }
    deldib(raster);
}

gdi::TestDCOptions Refusing(bool dibToDevice, bool bitmap, bool setDIBits, bool stretchBlt)
{
    gdi::TestDCOptions o;
    o.width = 8;
    o.height = 4;
    o.printer = true; // so that 8- and 24-bit rasters take the stretched path too
    o.refuseStretchDIBits = true;
    o.refuseSetDIBitsToDevice = true;
    o.dibToDevice = dibToDevice;
    o.refuseCompatibleBitmap = bitmap;
    o.refuseSetDIBits = setDIBits;
    o.refuseStretchBlt = stretchBlt;
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SecondFallback,
    ::testing::Values(
        Refusal{Refusing(true, false, false, false), {}, true},
        Refusal{Refusing(true, false, false, false), {}, true, 24},
        Refusal{Refusing(true, false, false, false), {}, true, 8},
        Refusal{Refusing(true, false, false, false), {}, true, 1},
        Refusal{Refusing(false, false, false, false), {}, true},
        Refusal{Refusing(true, true, false, false), {"Could not create bitmap."}, false},
        Refusal{Refusing(true, false, true, false),
                {"The device does not support the Funtkion setdibits!"},
                false},
        Refusal{Refusing(true, false, false, true),
                {"The device does not support the function StretchBlt!"},
                false}));

TEST(SecondFallback, SkipsTheResampledCopyWithoutDibToDevice)
{
    const RasterImage raster = MakeRaster(4, 4, 1);
    gdi::TestDCOptions o;
    o.refuseStretchDIBits = true;
    o.dibToDevice = false;
    gdi::TestDC dc(o);
    DrawRaster(&dc, 0, 0, 8, 8, raster, 0, 0, 4, 4, true, SRCCOPY, true, nullptr);
    EXPECT_EQ(dc.CountOf("SetDIBitsToDevice"), 0);
    EXPECT_EQ(dc.CountOf("StretchBlt"), 1);
    deldib(raster);
}

} // namespace
