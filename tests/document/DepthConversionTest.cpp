// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DepthConversion.h"

#include "platform/rastix/Rastix.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testsupport::Rgb;

Rgb Pixel24(const RasterImage &raster, int32_t x, int32_t y)
{
    const uint8_t *p = PictureRow(raster, y) + 3 * x;
    return Rgb{p[2], p[1], p[0]};
}

struct Recorder {
    std::vector<int32_t> reports;
    document::ProgressSink function()
    {
        return [this](int32_t p) { reports.push_back(p); };
    }
};

// A raster made by the library from a hand-written file, released on scope exit.
struct Loaded {
    RasterImage raster;
    explicit Loaded(const testsupport::Picture &p)
    {
        const std::vector<uint8_t> bytes = testsupport::MakeBmp(p);
        raster = OpenDibMemory(bytes.data(), bytes.size());
    }
    ~Loaded() { deldib(raster); }
    Loaded(const Loaded &) = delete;
    Loaded &operator=(const Loaded &) = delete;
};

struct DepthCase {
    int32_t bits;
    int32_t width;
    int32_t height;
};

class DepthUpToTest : public testing::TestWithParam<DepthCase> {};

TEST_P(DepthUpToTest, EveryPixelTakesItsConvertedColour)
{
    const DepthCase &c = GetParam();
    const testsupport::Picture picture = testsupport::Pattern(c.width, c.height, c.bits);
    Loaded source(picture);
    ASSERT_NE(source.raster.Pixels, nullptr) << RasterErrorText(source.raster);
    ASSERT_EQ(RasterBitCount(source.raster), c.bits);

    Recorder progress;
    const document::DepthConversion result =
        document::DepthUpTo(source.raster, 24, progress.function());
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(RasterBitCount(result.Raster), 24);
    EXPECT_EQ(RasterWidth(result.Raster), c.width);
    EXPECT_EQ(RasterHeight(result.Raster), c.height);
    for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x)
            ASSERT_EQ(Pixel24(result.Raster, x, y), testsupport::Expected(picture, x, y))
                << "pixel " << x << "," << y;

    // 0, one report per row as it begins, 0.
    ASSERT_EQ(progress.reports.size(), size_t(c.height) + 2);
    EXPECT_EQ(progress.reports.front(), 0);
    EXPECT_EQ(progress.reports.back(), 0);
    EXPECT_EQ(progress.reports[size_t(c.height)], 100);
    if (result.Raster.Pixels != source.raster.Pixels)
        deldib(result.Raster);
}

INSTANTIATE_TEST_SUITE_P(Depths, DepthUpToTest,
                         testing::Values(DepthCase{1, 19, 5}, DepthCase{1, 32, 3},
                                         DepthCase{4, 7, 4}, DepthCase{4, 8, 2}, DepthCase{8, 5, 6},
                                         DepthCase{8, 256, 2}, DepthCase{1, 9, 1},
                                         DepthCase{4, 3, 1}, DepthCase{8, 1, 1}),
                         [](const testing::TestParamInfo<DepthCase> &p) {
                             return std::to_string(p.param.bits) + "bit_"
                                    + std::to_string(p.param.width) + "x"
                                    + std::to_string(p.param.height);
                         });

TEST(DepthUpTo, IndexedColourComesFromTheRecordPaletteNotTheColourTable)
{
    RasterImage source = newdib(2, 1, 8, nullptr, 0);
    ASSERT_NE(source.Pixels, nullptr);
    source.Pixels[0] = 3;
    source.Pixels[1] = 200;
    source.Palette.palPalEntry[3] = PALETTEENTRY{10, 20, 30, 0};
    source.Palette.palPalEntry[200] = PALETTEENTRY{250, 0, 5, 0};
    source.ColourTable()[3] = RGBQUAD{99, 99, 99, 0};

    const document::DepthConversion result = document::DepthUpTo(source, 24, {});
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(Pixel24(result.Raster, 0, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(Pixel24(result.Raster, 1, 0), (Rgb{250, 0, 5}));
    deldib(result.Raster);
    deldib(source);
}

TEST(DepthUpTo, FourBitOddWidthTakesLastPixelFromHighNibble)
{
    RasterImage source = newdib(3, 2, 4, nullptr, 0);
    ASSERT_NE(source.Pixels, nullptr);
    for (int i = 0; i < 16; ++i)
        source.Palette.palPalEntry[i] =
            PALETTEENTRY{uint8_t(i * 16), uint8_t(i), uint8_t(255 - i), 0};
    // Memory row 0 (the bottom picture row): pixels 1, 2, then 5 in the high nibble
    // and a stray 9 in the unused low nibble.
    source.Pixels[0] = 0x12;
    source.Pixels[1] = 0x59;
    const document::DepthConversion result = document::DepthUpTo(source, 24, {});
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(Pixel24(result.Raster, 0, 1), (Rgb{16, 1, 254}));
    EXPECT_EQ(Pixel24(result.Raster, 1, 1), (Rgb{32, 2, 253}));
    EXPECT_EQ(Pixel24(result.Raster, 2, 1), (Rgb{80, 5, 250}));
    deldib(result.Raster);
    deldib(source);
}

TEST(DepthUpTo, OneBitPaletteListingWhiteFirstComesOutSwapped)
{
    testsupport::Picture p{4, 2, 1, {{255, 255, 255}, {0, 0, 0}}, {0, 1, 1, 0, 1, 1, 0, 0}};
    Loaded source(p);
    ASSERT_NE(source.raster.Pixels, nullptr);
    const document::DepthConversion result = document::DepthUpTo(source.raster, 24, {});
    ASSERT_TRUE(result.Ok);
    // Index 0 is white in the file's palette but becomes black.
    EXPECT_EQ(Pixel24(result.Raster, 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel24(result.Raster, 1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(Pixel24(result.Raster, 0, 1), (Rgb{255, 255, 255}));
    EXPECT_EQ(Pixel24(result.Raster, 3, 1), (Rgb{0, 0, 0}));
    deldib(result.Raster);
}

TEST(DepthUpTo, TwentyFourBitSourceIsReturnedAsItIs)
{
    const RasterImage source = newdib(5, 3, 24, nullptr, 0);
    ASSERT_NE(source.Pixels, nullptr);
    Recorder progress;
    const document::DepthConversion result = document::DepthUpTo(source, 24, progress.function());
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(result.Raster.Pixels, source.Pixels);
    EXPECT_EQ(result.Raster.Storage, source.Storage);
    EXPECT_EQ(progress.reports, (std::vector<int32_t>{0, 0}));
    deldib(source);
}

TEST(DepthUpTo, ThreeRowsReportZeroThenEachRowThenZero)
{
    const RasterImage source = newdib(4, 3, 8, nullptr, 0);
    Recorder progress;
    const document::DepthConversion result = document::DepthUpTo(source, 24, progress.function());
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(progress.reports, (std::vector<int32_t>{0, 0, 50, 100, 0}));
    deldib(result.Raster);
    deldib(source);
}

TEST(DepthUpTo, OneRowPictureReportsHundredForItsOnlyRow)
{
    const RasterImage source = newdib(4, 1, 4, nullptr, 0);
    Recorder progress;
    const document::DepthConversion result = document::DepthUpTo(source, 24, progress.function());
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(progress.reports, (std::vector<int32_t>{0, 100, 0}));
    deldib(result.Raster);
    deldib(source);
}

struct FailureCase {
    const char *name;
    int32_t bits;
    int32_t depth;
    bool allocatorFails;
};

class DepthUpToFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(DepthUpToFailureTest, FailsWithoutTouchingSourceAndEndsProgressAtZero)
{
    const FailureCase &c = GetParam();
    RasterImage source = newdib(6, 4, c.bits, nullptr, 0);
    ASSERT_NE(source.Pixels, nullptr);
    source.Pixels[0] = 0x5a;
    int allocations = 0;
    document::RasterLibrary allocate;
    allocate.NewDib = [&](int32_t w, int32_t h, int32_t b, const void *s, int32_t n) {
        ++allocations;
        return c.allocatorFails ? RasterImage{} : newdib(w, h, b, s, n);
    };
    Recorder progress;
    const document::DepthConversion result =
        document::DepthUpTo(source, c.depth, progress.function(), allocate);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Raster.Pixels, nullptr);
    EXPECT_LE(allocations, 1);
    EXPECT_EQ(source.Pixels[0], 0x5a);
    ASSERT_FALSE(progress.reports.empty());
    EXPECT_EQ(progress.reports.front(), 0);
    EXPECT_EQ(progress.reports.back(), 0);
    deldib(source);
}

INSTANTIATE_TEST_SUITE_P(Cases, DepthUpToFailureTest,
                         testing::Values(FailureCase{"NoMemory8", 8, 24, true},
                                         FailureCase{"NoMemory1", 1, 24, true},
                                         FailureCase{"NoMemory4", 4, 24, true},
                                         FailureCase{"DepthOtherThan24", 8, 32, false},
                                         FailureCase{"DepthBelow24", 1, 8, false}),
                         [](const testing::TestParamInfo<FailureCase> &p) {
                             return std::string(p.param.name);
                         });

TEST(DepthUpTo, SourceWithoutPixelsIsRefused)
{
    Recorder progress;
    const document::DepthConversion result =
        document::DepthUpTo(RasterImage{}, 24, progress.function());
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(progress.reports, (std::vector<int32_t>{0, 0}));
}

} // namespace
