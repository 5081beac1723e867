// SPDX-License-Identifier: GPL-3.0-or-later
// TIFF files whose data goes bad part of the way down, made at test time: G4 fax data
// with a bad code word (libtiff reports it through its handler and still returns the
// rows), ThunderScan data that ends early, and uncompressed strips cut off by the end
// of the file. The rows before the first error must show as an independent decode of
// the intact file shows them and the rest white when they are at least half of the
// picture; fewer are refused with libtiff's error.
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

using Bytes = std::vector<uint8_t>;

using Opened = OpenedBytes;

// Expects rows 0..good-1 of the picture to equal those of expected and the rest to be
// the given colour.
void ExpectGoodRowsThenColour(const RgbPicture &got, const RgbPicture &expected, int good,
                              const std::array<int, 3> &rest)
{
    ASSERT_EQ(got.width, expected.width);
    ASSERT_EQ(got.height, expected.height);
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
            const std::array<int, 3> pixel = {got.r(x, y), got.g(x, y), got.b(x, y)};
            const std::array<int, 3> want =
                y < good ? std::array<int, 3>{expected.r(x, y), expected.g(x, y), expected.b(x, y)}
                         : rest;
            ASSERT_EQ(pixel, want) << "pixel " << x << ", " << y;
        }
    }
}

// The offset and byte count of every strip or tile, through libtiff.
std::vector<std::pair<uint64_t, uint64_t>> Pieces(const std::string &path)
{
    std::vector<std::pair<uint64_t, uint64_t>> pieces;
    TIFF *tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return pieces;
    const uint32_t count = TIFFIsTiled(tiff) ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
    for (uint32_t i = 0; i < count; ++i)
        pieces.emplace_back(TIFFGetStrileOffset(tiff, i), TIFFGetStrileByteCount(tiff, i));
    TIFFClose(tiff);
    return pieces;
}

uint32_t Le(const Bytes &b, size_t at, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | b.at(at + size_t(i));
    return v;
}

// Sets the StripByteCounts of a little-endian classic TIFF to 0 from the given strip on.
bool ZeroStripByteCountsFrom(Bytes &b, size_t first)
{
    const size_t ifd = Le(b, 4, 4);
    for (size_t i = 0, n = Le(b, ifd, 2); i < n; ++i) {
        const size_t e = ifd + 2 + 12 * i;
        if (Le(b, e, 2) != TIFFTAG_STRIPBYTECOUNTS)
            continue;
        const int size = Le(b, e + 2, 2) == TIFF_SHORT ? 2 : 4;
        const size_t count = Le(b, e + 4, 4);
        const size_t values = count * size_t(size) <= 4 ? e + 8 : Le(b, e + 8, 4);
        for (size_t k = first; k < count; ++k)
            for (int j = 0; j < size; ++j)
                b.at(values + k * size_t(size) + size_t(j)) = 0;
        return count > first;
    }
    return false;
}

bool HaveTools()
{
    return HaveTool("convert") && HaveTool("tiffcp");
}

constexpr int kFaxWidth = 96, kFaxHeight = 84;
const char *const kToG4 = " -colorspace Gray -threshold 50% -type Bilevel -compress Group4"
                          " -define tiff:rows-per-strip=84 ";

struct FaxCase {
    const char *name;
    bool tiled; // 16 x 16 tiles (read a band at a time), else one strip (by scan lines)
    int badRow; // the first row whose code words are spoilt
    bool shown; // at least half of the 84 rows come before it
};

class TiffReportedErrors : public testing::TestWithParam<FaxCase> {};

// A bad code word makes libtiff report "Fax4Decode: Bad code word" (or an unsupported
// code) at that line while the read still succeeds.
TEST_P(TiffReportedErrors, EndTheGoodRowsWhereTheyAreReported)
{
    if (!HaveTools())
        GTEST_SKIP() << "ImageMagick or libtiff's tools are missing";
    const FaxCase c = GetParam();
    TempDir dir;
    const std::string in = dir.file("in.ppm"), strip = dir.file("strip.tif"),
                      file = dir.file("fax.tif"), top = dir.file("top.tif"),
                      ref = dir.file("ref.ppm");
    ASSERT_TRUE(WritePpm(in, PatternPicture(kFaxWidth, kFaxHeight)));
    ASSERT_EQ(testsupport::Run("convert " + in + kToG4 + strip), 0);
    ASSERT_EQ(testsupport::Run(c.tiled ? "tiffcp -t -w 16 -l 16 " + strip + " " + file
                                       : "cp " + strip + " " + file),
              0);
    ASSERT_EQ(testsupport::Run("convert " + file + " ppm:" + ref + " 2>/dev/null"), 0);
    const RgbPicture intact = ReadPnm(ref);
    ASSERT_EQ(intact.height, kFaxHeight);

    Bytes bytes = ReadFileBytes(file);
    const auto pieces = Pieces(file);
    size_t at = 0;
    if (c.tiled) {
        // Every tile of the band starting at the bad row is spoilt near its start.
        ASSERT_EQ(c.badRow % 16, 0);
        for (int t = 0; t < 6; ++t) {
            at = size_t(pieces.at(size_t(c.badRow / 16 * 6 + t)).first) + 1;
            bytes.at(at) = bytes.at(at + 1) = 0x01;
        }
    } else {
        // The G4 code of the top rows alone is the start of the whole strip's code, so
        // its length (less the end-of-block code) says where the bad row begins.
        ASSERT_EQ(testsupport::Run("convert " + in + " -crop " + std::to_string(kFaxWidth) + "x"
                                   + std::to_string(c.badRow) + "+0+0 +repage" + kToG4 + top),
                  0);
        at = size_t(pieces.at(0).first + Pieces(top).at(0).second) - 1;
        bytes.at(at) = bytes.at(at + 1) = 0x01;
    }

    Opened o(bytes);
    if (!c.shown) {
        EXPECT_EQ(o.raster.Pixels, nullptr);
        const std::string text = RasterErrorText(o.raster);
        EXPECT_EQ(text.rfind("The picture is damaged: Fax4Decode: ", 0), 0u) << text;
        if (!c.tiled) {
            EXPECT_NE(text.find("at line " + std::to_string(c.badRow) + " "), std::string::npos)
                << text;
        }
        return;
    }
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(RasterBitCount(o.raster), 1);
    ExpectGoodRowsThenColour(RasterToRgb(o.raster), intact, c.badRow, {255, 255, 255});
}

INSTANTIATE_TEST_SUITE_P(Tools, TiffReportedErrors,
                         testing::Values(FaxCase{"scanLinesRow27", false, 27, false},
                                         FaxCase{"scanLinesRow60", false, 60, true},
                                         FaxCase{"tilesRow32", true, 32, false},
                                         FaxCase{"tilesRow48", true, 48, true}),
                         [](const auto &p) { return std::string(p.param.name); });

// A 4-bit ThunderScan grey picture of 24 x 359 whose data ends after the given rows;
// pixel (x, y) is (x + y) mod 16, every pixel a raw ThunderScan code.
Bytes ThunderScan(const TempDir &dir, int rows)
{
    const std::string path = dir.file("thunder.tif");
    TIFF *tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        return {};
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(24));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(359));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(4));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_THUNDERSCAN));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(359));
    Bytes data;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < 24; ++x)
            data.push_back(uint8_t(0xC0 | (x + y) % 16));
    const bool written = TIFFWriteRawStrip(tiff, 0, data.data(), tmsize_t(data.size())) > 0;
    TIFFClose(tiff);
    return written ? ReadFileBytes(path) : Bytes{};
}

class TiffEndingEarly : public testing::TestWithParam<int> {};

TEST_P(TiffEndingEarly, ShowsAtLeastHalfThePictureAndRefusesLess)
{
    const int rows = GetParam();
    TempDir dir;
    const Bytes file = ThunderScan(dir, rows);
    ASSERT_FALSE(file.empty());
    Opened o(file);
    if (rows * 2 < 359) {
        EXPECT_EQ(o.raster.Pixels, nullptr);
        EXPECT_EQ(RasterErrorText(o.raster),
                  "The picture is damaged: ThunderDecode: Not enough data at scanline "
                      + std::to_string(rows) + " (0 != 24)");
        return;
    }
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(RasterBitCount(o.raster), 8);
    RgbPicture expected{24, 359, std::vector<uint8_t>(24 * 359 * 3)};
    for (int y = 0; y < 359; ++y)
        for (int x = 0; x < 24; ++x)
            for (int c = 0; c < 3; ++c)
                expected.rgb[size_t((y * 24 + x) * 3 + c)] = uint8_t((x + y) % 16 * 17);
    ExpectGoodRowsThenColour(RasterToRgb(o.raster), expected, rows, {255, 255, 255});
}

INSTANTIATE_TEST_SUITE_P(Libtiff, TiffEndingEarly, testing::Values(150, 179, 180, 320, 359));

// Uncompressed strips of one row of a palette picture whose colour map has no white;
// from strip 30 of 40 on the byte counts are 0 (libtiff: "Invalid strip byte count"):
// the rest takes the lightest colour of the map.
TEST(TiffEndingEarly, PaletteRowsTakeTheLightestColourOfTheMap)
{
    TempDir dir;
    const std::string path = dir.file("palette.tif");
    TIFF *tiff = TIFFOpen(path.c_str(), "wl");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(5));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(40));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(4));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_PALETTE));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(1));
    // Dark colours but for entry 12, (250, 240, 60).
    std::vector<uint16_t> map(48, 0);
    for (size_t i = 0; i < 16; ++i)
        map[i] = uint16_t(i * 13 * 257);
    map[12] = 250 * 257;
    map[16 + 12] = 240 * 257;
    map[32 + 12] = 60 * 257;
    TIFFSetField(tiff, TIFFTAG_COLORMAP, map.data(), map.data() + 16, map.data() + 32);
    for (uint32_t y = 0; y < 40; ++y) {
        uint8_t row[3] = {uint8_t(y % 16 << 4 | 1), 0x23, 0x40};
        ASSERT_GE(TIFFWriteScanline(tiff, row, y, 0), 0);
    }
    TIFFClose(tiff);
    Bytes bytes = ReadFileBytes(path);
    ASSERT_TRUE(ZeroStripByteCountsFrom(bytes, 30));
    Opened o(bytes);
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(RasterBitCount(o.raster), 4);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint32_t want = y >= 30 ? 12u : uint32_t(x == 0 ? y % 16 : x);
            ASSERT_EQ(getpixel(o.raster, x, y), want) << x << ", " << y;
        }
}

} // namespace
