// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/Rastix.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Shape {
    int32_t width, height, bits, stride;
};

class NewDibShape : public testing::TestWithParam<Shape> {};

TEST_P(NewDibShape, HeaderStrideAndZeroFill)
{
    const Shape s = GetParam();
    RasterImage raster = newdib(s.width, s.height, s.bits, nullptr, 0);
    ASSERT_NE(raster.Pixels, nullptr);
    EXPECT_NE(raster.Storage, 0u);
    EXPECT_EQ(raster.Stride, s.stride);
    EXPECT_EQ(raster.Stride % 4, 0);
    const BITMAPINFOHEADER *h = raster.Header();
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, s.width);
    EXPECT_EQ(h->biHeight, s.height);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, s.bits);
    EXPECT_EQ(h->biCompression, BI_RGB);
    EXPECT_EQ(RasterImageSize(raster), uint32_t(s.stride) * uint32_t(s.height));
    EXPECT_EQ(raster.PaletteFlag, 0);
    const uint8_t *begin = raster.Pixels, *end = begin + RasterImageSize(raster);
    EXPECT_TRUE(std::all_of(begin, end, [](uint8_t b) { return b == 0; }));
    // Indexed rasters get a palette object, true-colour ones none.
    EXPECT_EQ(raster.PaletteHandle != nullptr, s.bits <= 8);
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(Shapes, NewDibShape,
                         testing::Values(Shape{1, 1, 1, 4}, Shape{33, 2, 1, 8}, Shape{7, 3, 4, 4},
                                         Shape{9, 3, 4, 8}, Shape{5, 1, 8, 8}, Shape{4, 1, 8, 4},
                                         Shape{1, 1, 24, 4}, Shape{37, 23, 24, 112},
                                         Shape{65535, 1, 24, 196608}));

TEST(NewDib, CopiesTheFirstColourEntriesOfTheSource)
{
    RasterImage source = newdib(2, 2, 8, nullptr, 0);
    for (int i = 0; i < 256; ++i)
        source.ColourTable()[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
    RasterImage copy = newdib(4, 4, 8, source.Bitmap, 5);
    ASSERT_NE(copy.Pixels, nullptr);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(copy.ColourTable()[i].rgbBlue, i);
        EXPECT_EQ(copy.ColourTable()[i].rgbGreen, 255 - i);
        // The logical palette and the palette object follow the table, red first.
        EXPECT_EQ(copy.Palette.palPalEntry[i].peRed, i / 2);
        EXPECT_EQ(copy.Palette.palPalEntry[i].peBlue, i);
        EXPECT_EQ(copy.PaletteHandle->entries[i].peGreen, 255 - i);
    }
    EXPECT_EQ(copy.ColourTable()[5].rgbBlue, 0); // entry 6 on is not copied
    EXPECT_EQ(copy.ColourTable()[200].rgbGreen, 0);
    EXPECT_EQ(copy.Palette.palNumEntries, 256);
    deldib(copy);
    deldib(source);
}

struct BadRequest {
    int32_t width, height, bits;
};

class NewDibRefuses : public testing::TestWithParam<BadRequest> {};

TEST_P(NewDibRefuses, WithANullPixelAddressAndNothingOwned)
{
    const BadRequest r = GetParam();
    const RasterImage raster = newdib(r.width, r.height, r.bits, nullptr, 0);
    EXPECT_EQ(raster.Pixels, nullptr);
    EXPECT_EQ(raster.Storage, 0u);
    EXPECT_EQ(raster.Bitmap, nullptr);
    EXPECT_EQ(raster.PaletteHandle, nullptr);
    deldib(raster); // harmless
    deldib(RasterImage{});
}

INSTANTIATE_TEST_SUITE_P(Requests, NewDibRefuses,
                         testing::Values(BadRequest{0, 5, 24}, BadRequest{5, 0, 24},
                                         BadRequest{-3, 5, 8}, BadRequest{5, -3, 8},
                                         BadRequest{5, 5, 2}, BadRequest{5, 5, 16},
                                         BadRequest{5, 5, 32}, BadRequest{5, 5, 0},
                                         BadRequest{100000, 100000, 24}, BadRequest{65536, 1, 1},
                                         BadRequest{1, 65536, 8}, BadRequest{65535, 65535, 24},
                                         BadRequest{INT32_MIN, 1, 24}));

} // namespace
