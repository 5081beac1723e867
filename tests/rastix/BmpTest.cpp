// SPDX-License-Identifier: GPL-3.0-or-later
// BMP files written by netpbm and ImageMagick at test time, compared pixel by pixel
// with the same tools' own decodes; and hand-built files for RLE4, escapes, 2- and
// 16-bit pictures, top-down rows and bare DIBs.
#include "platform/rastix/Rastix.h"
#include "support/BmpBuilder.h"
#include "support/EncoderCases.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

struct ToolCase {
    const char *name;
    const char *tool;
    int colours;        // 0: a full-colour pattern
    const char *encode; // writes {out} from the PPM {in}
    // The tool's own reading of {in}, as PPM on stdout. netpbm is the reference where
    // ImageMagick blends 32-bit alpha or reads a one-colour picture as black; ImageMagick
    // where netpbm truncates 5- and 6-bit channels instead of repeating their bits.
    const char *decode;
    int depth; // what OpenDib must return
};

class BmpFromTools : public testing::TestWithParam<std::tuple<ToolCase, PictureSize>> {};

TEST_P(BmpFromTools, MatchesTheToolsOwnDecode)
{
    const auto [c, size] = GetParam();
    if (!HaveTool(c.tool))
        GTEST_SKIP() << c.tool << " is not installed";
    TempDir dir;
    const std::string ppm = dir.file("in.ppm"), bmp = dir.file("in.bmp"), ref = dir.file("ref.ppm");
    const RgbPicture source = c.colours ? PalettePicture(size.width, size.height, c.colours)
                                        : PatternPicture(size.width, size.height);
    ASSERT_TRUE(WritePpm(ppm, source));
    const std::string encode = FillCommand(c.encode, ppm, bmp);
    ASSERT_EQ(testsupport::Run(encode + " 2>/dev/null"), 0) << encode;
    ASSERT_EQ(testsupport::Run(FillCommand(c.decode, bmp, "") + " > '" + ref + "' 2>/dev/null"), 0);
    const RgbPicture expected = ReadPnm(ref);
    ASSERT_EQ(expected.width, size.width);

    RasterImage raster = OpenDib(bmp.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    // ImageMagick picks the depth from the colours present: a tiny picture may get less.
    if (size.width * size.height >= c.colours || c.tool != std::string("convert"))
        EXPECT_EQ(RasterBitCount(raster), c.depth);
    else
        EXPECT_LE(RasterBitCount(raster), c.depth);
    const RgbPicture got = RasterToRgb(raster);
    EXPECT_EQ(FirstDifference(got, expected), "");
    if (c.colours) {
        EXPECT_EQ(got, source); // palette files are lossless
    }
    deldib(raster);
}

const ToolCase kToolCases[] = {
    {"netpbm1", "ppmtobmp", 2, "ppmtobmp -bpp 1 {in} > {out}", "bmptopnm {in}", 1},
    {"netpbm4", "ppmtobmp", 16, "ppmtobmp -bpp 4 {in} > {out}", "bmptopnm {in}", 4},
    {"netpbm4few", "ppmtobmp", 5, "ppmtobmp -bpp 4 {in} > {out}", "bmptopnm {in}", 4},
    {"netpbm8", "ppmtobmp", 200, "ppmtobmp -bpp 8 {in} > {out}", "bmptopnm {in}", 8},
    {"netpbm24", "ppmtobmp", 0, "ppmtobmp -bpp 24 {in} > {out}", "bmptopnm {in}", 24},
    {"os2_1", "ppmtobmp", 2, "ppmtobmp -os2 -bpp 1 {in} > {out}", "bmptopnm {in}", 1},
    {"os2_4", "ppmtobmp", 16, "ppmtobmp -os2 -bpp 4 {in} > {out}", "bmptopnm {in}", 4},
    {"os2_8", "ppmtobmp", 256, "ppmtobmp -os2 -bpp 8 {in} > {out}", "bmptopnm {in}", 8},
    {"os2_24", "ppmtobmp", 0, "ppmtobmp -os2 -bpp 24 {in} > {out}", "bmptopnm {in}", 24},
    {"magickV5", "convert", 0, "convert {in} BMP:{out}", "convert {in} ppm:-", 24},
    {"magickV3", "convert", 0, "convert {in} BMP3:{out}", "convert {in} ppm:-", 24},
    {"magickOs2", "convert", 0, "convert {in} BMP2:{out}", "convert {in} ppm:-", 24},
    {"magick8", "convert", 100, "convert {in} -type palette -compress none BMP3:{out}",
     "bmptopnm {in}", 8},
    {"magickRle8", "convert", 100, "convert {in} -type palette -compress RLE BMP3:{out}",
     "convert {in} ppm:-", 8},
    {"magick32alpha", "convert", 0,
     "convert {in} -alpha on -channel A -fx 'i/w' +channel BMP:{out}", "bmptopnm {in}", 24},
    {"magick555", "convert", 0, "convert {in} -define bmp:subtype=RGB555 BMP:{out}",
     "convert {in} ppm:-", 24},
    {"magick565", "convert", 0, "convert {in} -define bmp:subtype=RGB565 BMP:{out}",
     "convert {in} ppm:-", 24},
};

INSTANTIATE_TEST_SUITE_P(Tools, BmpFromTools,
                         testing::Combine(testing::ValuesIn(kToolCases), EncoderSizes()),
                         EncoderCaseName());

RasterImage Open(const std::vector<uint8_t> &bytes)
{
    return OpenDibMemory(bytes.data(), bytes.size());
}

// Palette indices of a decoded indexed raster, top row first.
std::vector<std::vector<int>> Indices(const RasterImage &raster)
{
    std::vector<std::vector<int>> rows(size_t(RasterHeight(raster)));
    for (int y = 0; y < RasterHeight(raster); ++y)
        for (int x = 0; x < RasterWidth(raster); ++x)
            rows[size_t(y)].push_back(int(getpixel(raster, x, y)));
    return rows;
}

std::vector<uint32_t> Greys(int n)
{
    std::vector<uint32_t> palette;
    for (int i = 0; i < n; ++i)
        palette.push_back(uint32_t(i * 0x010101));
    return palette;
}

struct RleCase {
    const char *name;
    uint16_t bits;
    int width, height;
    std::vector<uint8_t> data;
    std::vector<std::vector<int>> expected; // top row first
};

class BmpRle : public testing::TestWithParam<RleCase> {};

TEST_P(BmpRle, UnpacksEveryEscape)
{
    const RleCase &c = GetParam();
    BmpLayout layout;
    layout.width = c.width;
    layout.height = c.height;
    layout.bits = c.bits;
    layout.compression = c.bits == 8 ? 1 : 2;
    layout.palette = Greys(c.bits == 8 ? 256 : 16);
    layout.pixels = c.data;
    RasterImage raster = Open(MakeBmp(layout));
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), c.bits);
    EXPECT_EQ(Indices(raster), c.expected);
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, BmpRle,
    testing::Values(
        // Rows are stored bottom first: the first instructions fill the last row.
        RleCase{"rle8_runs_and_absolute",
                8,
                5,
                2,
                {3, 7, 2, 9, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 0, 1},
                {{1, 2, 3, 0, 0}, {7, 7, 7, 9, 9}}},
        RleCase{"rle8_delta",
                8,
                4,
                3,
                {1, 5, 0, 2, 2, 1, 1, 6, 0, 0, 1, 4, 0, 1},
                {{4, 0, 0, 0}, {0, 0, 0, 6}, {5, 0, 0, 0}}},
        RleCase{"rle8_end_of_line_before_end",
                8,
                2,
                2,
                {2, 1, 0, 0, 2, 3, 0, 0, 0, 1},
                {{3, 3}, {1, 1}}},
        RleCase{"rle8_run_past_row_is_clipped",
                8,
                3,
                2,
                {9, 4, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1},
                {{1, 2, 3}, {4, 4, 4}}},
        RleCase{"rle8_delta_past_picture_ends_it",
                8,
                2,
                2,
                {2, 8, 0, 2, 0, 200, 2, 9, 0, 1},
                {{0, 0}, {8, 8}}},
        RleCase{"rle8_without_end_of_bitmap", 8, 2, 1, {2, 6, 0, 0}, {{6, 6}}},
        RleCase{"rle4_runs_alternate_nibbles", 4, 5, 1, {5, 0x1f, 0, 1}, {{1, 15, 1, 15, 1}}},
        RleCase{"rle4_absolute_odd_count",
                4,
                7,
                2,
                {0, 3, 0x12, 0x30, 4, 0xab, 0, 0, 0, 5, 0x45, 0x67, 0x80, 0, 0, 0, 0, 1},
                {{4, 5, 6, 7, 8, 0, 0}, {1, 2, 3, 10, 11, 10, 11}}},
        RleCase{"rle4_delta_and_end_of_line_before_end",
                4,
                3,
                3,
                {0, 2, 1, 1, 1, 0x70, 0, 0, 0, 0, 0, 1},
                {{0, 0, 0}, {0, 7, 0}, {0, 0, 0}}}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(BmpHandmade, TwoBitPicturesBecomeFourBit)
{
    BmpLayout layout;
    layout.width = 5;
    layout.height = 1;
    layout.bits = 2;
    layout.palette = {0xff0000, 0x00ff00, 0x0000ff, 0x808080};
    layout.pixels = {0b00011011, 0b01000000, 0, 0};
    RasterImage raster = Open(MakeBmp(layout));
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), 4);
    EXPECT_EQ(Indices(raster), (std::vector<std::vector<int>>{{0, 1, 2, 3, 1}}));
    EXPECT_EQ(raster.ColourTable()[2].rgbBlue, 255);
    EXPECT_EQ(raster.Palette.palPalEntry[0].peRed, 255);
    EXPECT_EQ(raster.PaletteHandle->entries[1].peGreen, 255);
    deldib(raster);
}

struct SixteenCase {
    uint32_t compression;
    std::vector<uint32_t> masks;
    uint16_t pixel;
    int r, g, b;
};

class BmpSixteenBit : public testing::TestWithParam<SixteenCase> {};

TEST_P(BmpSixteenBit, ScalesEachChannelToFullRange)
{
    const SixteenCase &c = GetParam();
    BmpLayout layout;
    layout.bits = 16;
    layout.compression = c.compression;
    layout.masks = c.masks;
    layout.pixels = {uint8_t(c.pixel), uint8_t(c.pixel >> 8), 0, 0};
    RasterImage raster = Open(MakeBmp(layout));
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), 24);
    EXPECT_EQ(getpixel(raster, 0, 0), uint32_t(c.r + 256 * c.g + 65536 * c.b));
    deldib(raster);
}

const std::vector<uint32_t> k565 = {0xf800, 0x07e0, 0x001f};
INSTANTIATE_TEST_SUITE_P(
    Channels, BmpSixteenBit,
    testing::Values(SixteenCase{0, {}, 0x7fff, 255, 255, 255},
                    SixteenCase{0, {}, 0x8000, 0, 0, 0}, // top bit is unused in 555
                    SixteenCase{0, {}, 0x7c00, 255, 0, 0}, SixteenCase{0, {}, 0x0010, 0, 0, 132},
                    SixteenCase{0, {}, 0x0021, 0, 8, 8},
                    SixteenCase{3, k565, 0xffff, 255, 255, 255},
                    SixteenCase{3, k565, 0x07e0, 0, 255, 0}, SixteenCase{3, k565, 0x0020, 0, 4, 0},
                    SixteenCase{3, {0xff00, 0x00f0, 0}, 0x12f0, 18, 255, 0}));

TEST(BmpHandmade, TopDownRowsAreStoredBottomUp)
{
    for (const uint32_t headerSize : {40u, 124u}) {
        BmpLayout layout;
        layout.headerSize = headerSize;
        layout.width = 1;
        layout.height = -3;
        layout.bits = 24;
        layout.pixels = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
        RasterImage raster = Open(MakeBmp(layout));
        ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
        EXPECT_EQ(RasterHeight(raster), 3);
        // The first stored row is the top of the picture.
        EXPECT_EQ(getpixel(raster, 0, 0), 3u + 256u * 2 + 65536u * 1);
        EXPECT_EQ(getpixel(raster, 0, 2), 9u + 256u * 8 + 65536u * 7);
        EXPECT_EQ(raster.Pixels[0], 7); // last memory row first... the bottom row
        deldib(raster);
    }
}

TEST(BmpHandmade, ThirtyTwoBitIgnoresTheFourthByte)
{
    BmpLayout layout;
    layout.width = 2;
    layout.bits = 32;
    layout.pixels = {10, 20, 30, 0, 40, 50, 60, 255};
    RasterImage raster = Open(MakeBmp(layout));
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(getpixel(raster, 0, 0), 30u + 256u * 20 + 65536u * 10);
    EXPECT_EQ(getpixel(raster, 1, 0), 60u + 256u * 50 + 65536u * 40);
    deldib(raster);
}

TEST(BmpHandmade, IndicesPastThePaletteAreClamped)
{
    const std::vector<std::pair<uint16_t, std::vector<uint8_t>>> cases = {
        {8, {0, 1, 2, 200, 255, 0, 0, 0}},
        {4, {0x01, 0x2f, 0xe0, 0}},
        {1, {0xa0, 0, 0, 0}}, // one-colour table
    };
    for (const auto &[bits, pixels] : cases) {
        BmpLayout layout;
        layout.width = 5;
        layout.bits = bits;
        layout.palette = bits == 1 ? Greys(1) : Greys(3);
        layout.colourCount = uint32_t(layout.palette.size());
        layout.pixels = pixels;
        RasterImage raster = Open(MakeBmp(layout));
        ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
        const std::vector<int> expected =
            bits == 1 ? std::vector<int>{0, 0, 0, 0, 0} : std::vector<int>{0, 1, 2, 2, 2};
        EXPECT_EQ(Indices(raster)[0], expected) << bits << " bits";
        deldib(raster);
    }
}

TEST(BmpHandmade, BareDibWithoutFileHeader)
{
    for (const uint32_t headerSize : {12u, 40u, 64u}) {
        BmpLayout layout;
        layout.headerSize = headerSize;
        layout.width = 3;
        layout.height = 2;
        layout.bits = 8;
        // An OS/2 1.x header has no colour count: its table is always full.
        layout.palette = Greys(headerSize == 12 ? 256 : 4);
        layout.colourCount = headerSize == 12 ? 0 : 4;
        layout.pixels = {1, 2, 3, 0, 3, 2, 1, 0};
        std::vector<uint8_t> bytes = MakeBmp(layout);
        bytes.erase(bytes.begin(), bytes.begin() + 14);
        RasterImage raster = Open(bytes);
        ASSERT_NE(raster.Pixels, nullptr) << headerSize << ": " << RasterErrorText(raster);
        EXPECT_EQ(Indices(raster), (std::vector<std::vector<int>>{{3, 2, 1}, {1, 2, 3}}));
        deldib(raster);
    }
}

} // namespace

namespace {

// Valid BMP kinds that are not read are refused by name, never as damaged.
TEST(BmpRefusals, NameTheUnsupportedKind)
{
    struct Case {
        int bits;
        uint32_t compression;
        const char *text;
    };
    const Case cases[] = {
        {24, 4, "BMP holding JPEG data is not supported"},
        {24, 5, "BMP holding PNG data is not supported"},
        {64, 0, "BMP with 64 bits per pixel is not supported"},
        {32, 11, "BMP compression 11 is not supported"},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> f(54 + 64, 0);
        f[0] = 'B', f[1] = 'M', f[10] = 54, f[14] = 40, f[18] = 1, f[22] = 1, f[26] = 1;
        f[28] = uint8_t(c.bits);
        f[30] = uint8_t(c.compression);
        const RasterImage raster = OpenDibMemory(f.data(), f.size());
        EXPECT_EQ(raster.Pixels, nullptr);
        EXPECT_EQ(RasterErrorText(raster), c.text);
    }
}

} // namespace
