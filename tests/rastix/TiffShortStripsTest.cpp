// SPDX-License-Identifier: GPL-3.0-or-later
// A writer's bug: RowsPerStrip far larger than the picture (2^31 + 1) while each strip
// holds 29 rows. libtiff then sees one strip and stops where its data ends (ImageMagick
// and netpbm refuse such files); the strips must be read as the directory lists them.
// The files are written at test time by libtiff with 29 rows a strip, the strips stored
// last first (so they are not one run of rows in the file), in either byte order, classic
// and BigTIFF, and then given the wrong RowsPerStrip by tiffset; they must show what
// their samples hold and what ImageMagick shows of the file before the change.
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstring>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

struct StripCase {
    const char *name;
    const char *mode; // libtiff's open mode: byte order, BigTIFF
    int compression;
    int bits;    // 8 or 16
    int samples; // 1 (grey) or 3 (RGB)
    int height;  // 29 rows a strip; the last strip holds the rest
};

constexpr int kWidth = 40, kStripRows = 29;

int Sample(int x, int y, int c)
{
    return (x * 5 + y * 3 + c * 50) & 255;
}

// The picture with its strips written last first; empty on failure.
std::string WriteStrips(const TempDir &dir, const StripCase &c)
{
    const std::string path = dir.file("strips.tif");
    TIFF *tiff = TIFFOpen(path.c_str(), c.mode);
    if (!tiff)
        return {};
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(kWidth));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(c.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(c.bits));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(c.samples));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC,
                 uint16_t(c.samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t(c.compression));
    if (c.compression == COMPRESSION_LZW)
        TIFFSetField(tiff, TIFFTAG_PREDICTOR, uint16_t(PREDICTOR_HORIZONTAL));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(kStripRows));
    const int strips = (c.height + kStripRows - 1) / kStripRows;
    bool ok = true;
    for (int s = strips - 1; s >= 0; --s) {
        const int rows = std::min(kStripRows, c.height - s * kStripRows);
        std::vector<uint8_t> data;
        for (int y = s * kStripRows; y < s * kStripRows + rows; ++y)
            for (int x = 0; x < kWidth; ++x)
                for (int k = 0; k < c.samples; ++k) {
                    const auto v = uint8_t(Sample(x, y, k));
                    if (c.bits == 16) {
                        const uint16_t wide = uint16_t(v << 8 | (x * 7 & 255));
                        data.insert(data.end(), {uint8_t(wide), uint8_t(wide >> 8)});
                    } else {
                        data.push_back(v);
                    }
                }
        ok =
            ok && TIFFWriteEncodedStrip(tiff, uint32_t(s), data.data(), tmsize_t(data.size())) >= 0;
    }
    TIFFClose(tiff);
    return ok ? path : std::string();
}

class TiffShortStrips : public testing::TestWithParam<StripCase> {};

TEST_P(TiffShortStrips, AreReadAsTheDirectoryListsThem)
{
    if (!HaveTool("tiffset") || !HaveTool("convert"))
        GTEST_SKIP() << "libtiff's tools or ImageMagick are missing";
    const StripCase c = GetParam();
    TempDir dir;
    const std::string path = WriteStrips(dir, c), ref = dir.file("ref.ppm");
    ASSERT_FALSE(path.empty());
    ASSERT_EQ(testsupport::Run("convert " + path + " -depth 16 ppm:" + ref + " 2>/dev/null"), 0);
    const RgbPicture before = ReadPnm(ref);
    ASSERT_EQ(before.height, c.height);
    ASSERT_EQ(testsupport::Run("tiffset -s 278 2147483649 " + path + " 2>/dev/null"), 0);

    RgbPicture expected{kWidth, c.height, std::vector<uint8_t>(size_t(kWidth * c.height * 3))};
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int k = 0; k < 3; ++k)
                expected.rgb[size_t((y * kWidth + x) * 3 + k)] =
                    uint8_t(Sample(x, y, c.samples == 3 ? k : 0));
    ASSERT_EQ(FirstDifference(before, expected), "");

    const RasterImage raster = OpenDib(path.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), c.samples == 3 ? 24 : 8);
    EXPECT_EQ(FirstDifference(RasterToRgb(raster), expected), "");
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(
    Tools, TiffShortStrips,
    testing::Values(StripCase{"none8", "wl", COMPRESSION_NONE, 8, 1, 87},
                    StripCase{"noneRgb16BigEndian", "wb", COMPRESSION_NONE, 16, 3, 88},
                    StripCase{"lzwPredictor8", "wl", COMPRESSION_LZW, 8, 1, 87},
                    StripCase{"lzwRgb8BigEndian", "wb", COMPRESSION_LZW, 8, 3, 88},
                    StripCase{"packBits8", "wl", COMPRESSION_PACKBITS, 8, 1, 88},
                    StripCase{"deflate16BigTiff", "w8", COMPRESSION_ADOBE_DEFLATE, 16, 1, 87}),
    [](const auto &p) { return std::string(p.param.name); });

} // namespace
