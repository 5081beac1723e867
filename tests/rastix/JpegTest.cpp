// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG files written by libjpeg's cjpeg, netpbm's pnmtojpeg and ImageMagick at test
// time; the pixels must equal djpeg's default decode byte for byte.
#include "platform/rastix/Rastix.h"
#include "support/EncoderCases.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testsupport;

namespace {

struct JpegCase {
    const char *name;
    const char *tool;
    const char *encode; // {in}: the source PPM, {out}: the JPEG
    int depth;
};

class JpegFromTools : public testing::TestWithParam<std::tuple<JpegCase, PictureSize>> {};

TEST_P(JpegFromTools, EqualsDjpegByteForByte)
{
    const auto [c, size] = GetParam();
    if (!HaveTool(c.tool) || !HaveTool("djpeg"))
        GTEST_SKIP() << c.tool << " or djpeg is not installed";
    TempDir dir;
    const std::string ppm = dir.file("in.ppm"), jpg = dir.file("in.jpg"), ref = dir.file("ref.pnm");
    ASSERT_TRUE(WritePpm(ppm, PatternPicture(size.width, size.height)));
    const std::string encode = FillCommand(c.encode, ppm, jpg);
    ASSERT_EQ(testsupport::Run("(" + encode + ") 2>/dev/null"), 0) << encode;
    ASSERT_EQ(testsupport::Run("djpeg -pnm '" + jpg + "' > '" + ref + "' 2>/dev/null"), 0);
    const RgbPicture expected = ReadPnm(ref);
    ASSERT_EQ(expected.width, size.width);

    RasterImage raster = OpenDib(jpg.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), c.depth);
    EXPECT_EQ(FirstDifference(RasterToRgb(raster), expected), "");
    if (c.depth == 8) {
        EXPECT_EQ(raster.ColourTable()[99].rgbRed, 99);
        EXPECT_EQ(raster.PaletteHandle->entries[250].peGreen, 250);
    }
    deldib(raster);
}

const JpegCase kJpegCases[] = {
    {"cjpeg", "cjpeg", "cjpeg {in} > {out}", 24},
    {"cjpegGrey", "cjpeg", "cjpeg -grayscale {in} > {out}", 8},
    {"cjpegProgressive", "cjpeg", "cjpeg -progressive {in} > {out}", 24},
    {"cjpegNoSubsampling", "cjpeg", "cjpeg -quality 95 -sample 1x1 {in} > {out}", 24},
    {"cjpegHorizontal", "cjpeg", "cjpeg -sample 2x1 {in} > {out}", 24},
    {"cjpegRgb", "cjpeg", "cjpeg -rgb {in} > {out}", 24},
    {"cjpegRestart", "cjpeg", "cjpeg -restart 1 -optimize {in} > {out}", 24},
    {"pnmtojpeg", "pnmtojpeg", "pnmtojpeg {in} > {out}", 24},
    {"pnmtojpegGrey", "pnmtojpeg", "ppmtopgm {in} | pnmtojpeg > {out}", 8},
    {"magick", "convert", "convert {in} -quality 80 JPG:{out}", 24},
};

INSTANTIATE_TEST_SUITE_P(Tools, JpegFromTools,
                         testing::Combine(testing::ValuesIn(kJpegCases), EncoderSizes()),
                         EncoderCaseName());

TEST(JpegCmyk, IsConvertedCloseToImageMagicksReading)
{
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    TempDir dir;
    const std::string ppm = dir.file("in.ppm"), jpg = dir.file("in.jpg"), ref = dir.file("ref.ppm");
    ASSERT_TRUE(WritePpm(ppm, PatternPicture(37, 23)));
    ASSERT_EQ(testsupport::Run("convert '" + ppm + "' -colorspace CMYK -quality 95 JPG:'" + jpg
                               + "' 2>/dev/null"),
              0);
    ASSERT_EQ(testsupport::Run("convert '" + jpg + "' -colorspace sRGB -depth 8 ppm:'" + ref
                               + "' 2>/dev/null"),
              0);
    const RgbPicture expected = ReadPnm(ref);
    RasterImage raster = OpenDib(jpg.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), 24);
    const RgbPicture got = RasterToRgb(raster);
    ASSERT_EQ(got.rgb.size(), expected.rgb.size());
    int worst = 0;
    for (size_t i = 0; i < got.rgb.size(); ++i)
        worst = std::max(worst, std::abs(int(got.rgb[i]) - int(expected.rgb[i])));
    EXPECT_LE(worst, 2); // both multiply ink by black; only rounding may differ
    deldib(raster);
}

} // namespace
