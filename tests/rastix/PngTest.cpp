// SPDX-License-Identifier: GPL-3.0-or-later
// PNG files written by netpbm's pnmtopng at test time in every colour type and depth,
// compared pixel by pixel with pngtopam's decode composited onto white.
#include "platform/rastix/Rastix.h"
#include "support/EncoderCases.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

enum class Source { Pattern, Pattern16, Palette };

struct PngCase {
    const char *name;
    Source source;
    int colours;        // for Source::Palette
    const char *encode; // {in}: the source PPM, {out}: the PNG, {dir}: scratch folder
    int depth;          // what OpenDib must return
    const char *kind;   // what the file must be, as `file` describes it
};

class PngFromTools : public testing::TestWithParam<std::tuple<PngCase, PictureSize>> {};

TEST_P(PngFromTools, MatchesPngtopam)
{
    const auto [c, size] = GetParam();
    if (!HaveTool("pnmtopng") || !HaveTool("pngtopam"))
        GTEST_SKIP() << "netpbm is not installed";
    TempDir dir;
    const std::string ppm = dir.file("in.ppm"), png = dir.file("in.png"), ref = dir.file("ref.ppm");
    const RgbPicture source = c.source == Source::Palette
                                  ? PalettePicture(size.width, size.height, c.colours)
                                  : PatternPicture(size.width, size.height);
    ASSERT_TRUE(c.source == Source::Pattern16 ? WritePpm16(ppm, source) : WritePpm(ppm, source));
    const std::string encode = FillCommand(c.encode, ppm, png, dir.path().string());
    ASSERT_EQ(testsupport::Run("(" + encode + ") 2>/dev/null"), 0) << encode;
    // A tiny picture has fewer colours than the case asks for; the encoder then picks a
    // smaller depth.
    const bool allColours = c.source != Source::Palette || size.width * size.height >= c.colours;
    if (HaveTool("file") && allColours) {
        ASSERT_EQ(testsupport::Run("file '" + png + "' | grep -q '" + c.kind + "'"), 0)
            << "the encoder did not write " << c.kind;
    }
    ASSERT_EQ(testsupport::Run("pngtopam -mix -background=white '" + png + "' 2>/dev/null"
                               + " | ppmtoppm > '" + ref + "' 2>/dev/null"),
              0);
    const RgbPicture expected = ReadPnm(ref);

    RasterImage raster = OpenDib(png.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    if (allColours) {
        EXPECT_EQ(RasterBitCount(raster), c.depth);
    }
    EXPECT_EQ(FirstDifference(RasterToRgb(raster), expected), "");
    if (c.depth == 8 && c.source != Source::Palette) {
        // Grey pictures carry a grey ramp.
        EXPECT_EQ(raster.ColourTable()[77].rgbGreen, 77);
        EXPECT_EQ(raster.Palette.palPalEntry[200].peBlue, 200);
    }
    deldib(raster);
}

const PngCase kPngCases[] = {
    {"palette1", Source::Palette, 2, "pnmtopng {in} > {out}", 1, "1-bit colormap"},
    {"palette2", Source::Palette, 4, "pnmtopng {in} > {out}", 4, "2-bit colormap"},
    {"palette4", Source::Palette, 16, "pnmtopng {in} > {out}", 4, "4-bit colormap"},
    {"palette8", Source::Palette, 200, "pnmtopng {in} > {out}", 8, "8-bit colormap"},
    {"paletteInterlaced", Source::Palette, 200, "pnmtopng -interlace {in} > {out}", 8,
     "interlaced"},
    {"paletteTransparent", Source::Palette, 16, "pnmtopng -transparent=rgb:49/a0/e5 {in} > {out}",
     4, "colormap"},
    {"grey1", Source::Pattern, 0, "ppmtopgm {in} | pgmtopbm -threshold | pnmtopng -force > {out}",
     8, "1-bit grayscale"},
    {"grey2", Source::Pattern, 0, "ppmtopgm {in} | pnmdepth 3 | pnmtopng -force > {out}", 8,
     "2-bit grayscale"},
    {"grey4", Source::Pattern, 0, "ppmtopgm {in} | pnmdepth 15 | pnmtopng -force > {out}", 8,
     "4-bit grayscale"},
    {"grey8", Source::Pattern, 0, "ppmtopgm {in} | pnmtopng -force > {out}", 8, "8-bit grayscale"},
    {"grey16", Source::Pattern16, 0, "ppmtopgm {in} | pnmtopng -force > {out}", 8,
     "16-bit grayscale"},
    {"greyAlpha", Source::Pattern, 0,
     "ppmtopgm {in} > {dir}/g.pgm && pamflip -lr {dir}/g.pgm > {dir}/a.pgm && "
     "pnmtopng -force -alpha={dir}/a.pgm {dir}/g.pgm > {out}",
     8, "8-bit gray+alpha"},
    {"greyAlpha16", Source::Pattern16, 0,
     "ppmtopgm {in} > {dir}/g.pgm && pamflip -lr {dir}/g.pgm > {dir}/a.pgm && "
     "pnmtopng -force -alpha={dir}/a.pgm {dir}/g.pgm > {out}",
     8, "16-bit gray+alpha"},
    {"rgb8", Source::Pattern, 0, "pnmtopng -force {in} > {out}", 24, "8-bit/color RGB"},
    {"rgb16", Source::Pattern16, 0, "pnmtopng -force {in} > {out}", 24, "16-bit/color RGB"},
    {"rgbInterlaced", Source::Pattern, 0, "pnmtopng -force -interlace {in} > {out}", 24,
     "interlaced"},
    {"rgba8", Source::Pattern, 0,
     "ppmtopgm {in} | pamflip -tb > {dir}/a.pgm && "
     "pnmtopng -force -alpha={dir}/a.pgm {in} > {out}",
     24, "8-bit/color RGBA"},
    {"rgba16Interlaced", Source::Pattern16, 0,
     "ppmtopgm {in} | pamflip -tb > {dir}/a.pgm && "
     "pnmtopng -force -interlace -alpha={dir}/a.pgm {in} > {out}",
     24, "16-bit/color RGBA"},
};

INSTANTIATE_TEST_SUITE_P(Tools, PngFromTools,
                         testing::Combine(testing::ValuesIn(kPngCases), EncoderSizes()),
                         EncoderCaseName());

} // namespace
