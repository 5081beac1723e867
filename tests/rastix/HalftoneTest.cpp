// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/Rastix.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

uint32_t Packed(int r, int g, int b)
{
    return uint32_t(r) + 256u * uint32_t(g) + 65536u * uint32_t(b);
}

RasterImage Flat(int width, int height, int r, int g, int b)
{
    RasterImage raster = newdib(width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(raster, x, y, Packed(r, g, b));
    return raster;
}

// The colour the halftoned pixel shows, through the colour table.
std::tuple<int, int, int> Shown(const RasterImage &raster, int x, int y)
{
    const RGBQUAD &q = raster.ColourTable()[getpixel(raster, x, y)];
    return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

// Mean of each channel over the whole halftoned raster.
std::tuple<double, double, double> MeanColour(const RasterImage &raster)
{
    double r = 0, g = 0, b = 0;
    const int w = RasterWidth(raster), h = RasterHeight(raster);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto [pr, pg, pb] = Shown(raster, x, y);
            r += pr;
            g += pg;
            b += pb;
        }
    const double n = double(w) * h;
    return {r / n, g / n, b / n};
}

struct SizeCase {
    int sourceWidth, sourceHeight, width, height; // width 0: same-size call
};

class HalftoneSize : public testing::TestWithParam<SizeCase> {};

TEST_P(HalftoneSize, MakesAnEightBitRasterWithItsOwnPalette)
{
    const SizeCase c = GetParam();
    RasterImage source = Flat(c.sourceWidth, c.sourceHeight, 90, 160, 30);
    RasterImage result =
        c.width ? DIBHalftoneDIBXY(source, c.width, c.height) : DIBHalftoneDIB(source);
    const int w = c.width ? c.width : c.sourceWidth;
    const int h = c.width ? c.height : c.sourceHeight;
    ASSERT_NE(result.Pixels, nullptr);
    EXPECT_EQ(RasterWidth(result), w);
    EXPECT_EQ(RasterHeight(result), h);
    EXPECT_EQ(RasterBitCount(result), 8);
    EXPECT_EQ(result.Stride % 4, 0);
    EXPECT_EQ(RasterImageSize(result), uint32_t(result.Stride) * uint32_t(h));
    EXPECT_EQ(result.PaletteFlag, 1);
    ASSERT_NE(result.PaletteHandle, nullptr);
    EXPECT_EQ(result.PaletteHandle->count, 256);
    EXPECT_EQ(result.Palette.palNumEntries, 256);
    EXPECT_EQ(result.Palette.palVersion, 0x300);

    // Table, logical palette and palette object agree entry by entry, and no two
    // entries repeat a colour.
    std::set<uint32_t> colours;
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD &q = result.ColourTable()[i];
        const PALETTEENTRY &e = result.Palette.palPalEntry[i];
        const PALETTEENTRY &o = result.PaletteHandle->entries[i];
        EXPECT_EQ(q.rgbRed, e.peRed) << i;
        EXPECT_EQ(q.rgbGreen, e.peGreen) << i;
        EXPECT_EQ(q.rgbBlue, e.peBlue) << i;
        EXPECT_EQ(q.rgbReserved, 0) << i;
        EXPECT_EQ(o.peRed, e.peRed) << i;
        EXPECT_EQ(o.peBlue, e.peBlue) << i;
        colours.insert(Packed(q.rgbRed, q.rgbGreen, q.rgbBlue));
    }
    EXPECT_EQ(colours.size(), 256u);
    deldib(result);
    deldib(source);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HalftoneSize,
                         testing::Values(SizeCase{37, 23, 0, 0}, SizeCase{1, 1, 0, 0},
                                         SizeCase{37, 23, 10, 7}, SizeCase{5, 3, 101, 67},
                                         SizeCase{640, 480, 1, 1}, SizeCase{3, 3, 3, 3}));

TEST(Halftone, EveryPaletteColourStaysExact)
{
    RasterImage probe = Flat(1, 1, 0, 0, 0);
    RasterImage first = DIBHalftoneDIB(probe);
    ASSERT_NE(first.Pixels, nullptr);
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD q = first.ColourTable()[i];
        RasterImage flat = Flat(9, 9, q.rgbRed, q.rgbGreen, q.rgbBlue);
        RasterImage result = DIBHalftoneDIB(flat);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(Shown(result, x, y),
                          std::make_tuple(int(q.rgbRed), int(q.rgbGreen), int(q.rgbBlue)))
                    << "entry " << i << " at " << x << "," << y;
        deldib(result);
        deldib(flat);
    }
    deldib(first);
    deldib(probe);
}

TEST(Halftone, EveryGreyAndChannelLevelKeepsItsAverage)
{
    // On one 8 x 8 tile the ordered dither uses each threshold once, so the mean of
    // the shown colours is within one step of the input for every value.
    for (int v = 0; v < 256; ++v) {
        for (const auto &colour : {std::make_tuple(v, v, v), std::make_tuple(v, 0, 255),
                                   std::make_tuple(255 - v, v, 17)}) {
            const auto [r, g, b] = colour;
            RasterImage flat = Flat(8, 8, r, g, b);
            RasterImage result = DIBHalftoneDIB(flat);
            const auto [mr, mg, mb] = MeanColour(result);
            EXPECT_NEAR(mr, r, 1.0) << r << "," << g << "," << b;
            EXPECT_NEAR(mg, g, 1.0) << r << "," << g << "," << b;
            EXPECT_NEAR(mb, b, 1.0) << r << "," << g << "," << b;
            deldib(result);
            deldib(flat);
        }
    }
}

TEST(Halftone, ScalingPicksNearestSourcePixelsTopRowFirst)
{
    // 2 x 2 source: red, green on the top row; blue, white below (all palette colours).
    RasterImage source = newdib(2, 2, 24, nullptr, 0);
    setpixel(source, 0, 0, Packed(255, 0, 0));
    setpixel(source, 1, 0, Packed(0, 255, 0));
    setpixel(source, 0, 1, Packed(0, 0, 255));
    setpixel(source, 1, 1, Packed(255, 255, 255));
    RasterImage big = DIBHalftoneDIBXY(source, 6, 4);
    ASSERT_NE(big.Pixels, nullptr);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool right = x >= 3, bottom = y >= 2;
            const auto expected =
                !bottom ? (right ? std::make_tuple(0, 255, 0) : std::make_tuple(255, 0, 0))
                        : (right ? std::make_tuple(255, 255, 255) : std::make_tuple(0, 0, 255));
            EXPECT_EQ(Shown(big, x, y), expected) << x << "," << y;
        }
    RasterImage small = DIBHalftoneDIBXY(source, 1, 1);
    EXPECT_EQ(Shown(small, 0, 0), std::make_tuple(255, 0, 0));
    deldib(small);
    deldib(big);
    deldib(source);
}

TEST(Halftone, RefusesWhatItCannotReduce)
{
    RasterImage indexed = newdib(4, 4, 8, nullptr, 0);
    RasterImage colour = Flat(4, 4, 1, 2, 3);
    const RasterImage failed = newdib(0, 4, 24, nullptr, 0);
    const RasterImage results[] = {
        DIBHalftoneDIB(indexed),         DIBHalftoneDIB(failed),
        DIBHalftoneDIB(RasterImage{}),   DIBHalftoneDIBXY(colour, 0, 5),
        DIBHalftoneDIBXY(colour, 5, -1), DIBHalftoneDIBXY(colour, 100000, 2),
    };
    for (const RasterImage &r : results) {
        EXPECT_EQ(r.Pixels, nullptr);
        EXPECT_EQ(r.Storage, 0u);
        EXPECT_EQ(r.PaletteHandle, nullptr);
        deldib(r);
    }
    deldib(colour);
    deldib(indexed);
}

} // namespace
