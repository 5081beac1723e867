// SPDX-License-Identifier: GPL-3.0-or-later
// TIFF files of every sample depth and kind, written at test time by ImageMagick from a
// 16-bit picture (tiffset marks their orientation), must open at the depth the formats
// table gives and show what ImageMagick's own decode shows: the high byte of the
// 16-bit samples it reads. Where the two decoders round differently (CMYK, L*a*b*,
// alpha over white, YCbCr), a small tolerance is allowed.
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace testsupport;

namespace {

// Writes the 16-bit source picture and runs encode ({in} -> {out}) and decode ({out} ->
// a PPM on standard output); then opens {out} and compares.
void CheckAgainstTool(const std::string &encode, const std::string &decode, int depth,
                      int tolerance, int width = 37, int height = 23)
{
    TempDir dir;
    const std::string in = dir.file("in.ppm"), out = dir.file("picture.tif"),
                      reference = dir.file("reference.ppm");
    ASSERT_TRUE(WritePpm16(in, PatternPicture(width, height)));
    const std::string made = FillCommand(encode, in, out, dir.path().string());
    ASSERT_EQ(testsupport::Run("(" + made + ") 2>/dev/null"), 0) << made;
    const std::string read = FillCommand(decode, in, out, dir.path().string());
    ASSERT_EQ(testsupport::Run("(" + read + ") > " + reference + " 2>/dev/null"), 0) << read;
    const RgbPicture expected = ReadPnm(reference);
    ASSERT_GT(expected.width, 0) << read;

    const RasterImage raster = OpenDib(out.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), depth);
    EXPECT_EQ(FirstDifference(RasterToRgb(raster), expected, tolerance), "") << made;
    deldib(raster);
}

bool HaveTiffTools()
{
    return HaveTool("convert") && HaveTool("tiffset") && HaveTool("tiffcp");
}

#define IM16 "convert tiff:{out} -depth 16 ppm:-"
#define IM16_ON_WHITE                                                                              \
    "convert tiff:{out} -background white -alpha remove -alpha off -depth 16 ppm:-"
#define FLOAT "-define quantum:format=floating-point "
#define FADE_ALPHA "-alpha set -channel A -fx 'i/w' +channel "

// Every integer depth from 1 to 16 bits in grey, chunky RGB, planar RGB and tiles.
struct Layout {
    const char *name;
    const char *options;
    bool grey;
};
const Layout kLayouts[] = {
    {"grey", "-colorspace Gray -compress none", true},
    {"rgb", "-compress none", false},
    {"rgbLzw", "-compress lzw", false},
    {"planar", "-interlace plane -compress lzw", false},
    {"tiles", "-define tiff:tile-geometry=16x16 -compress zip", false},
};

class TiffDepthSweep : public testing::TestWithParam<std::tuple<int, Layout, int>> {};

TEST_P(TiffDepthSweep, MatchesImageMagick)
{
    if (!HaveTiffTools())
        GTEST_SKIP() << "ImageMagick or libtiff's tools are missing";
    const auto [bits, layout, width] = GetParam();
    // ImageMagick writes 1-bit colour as bilevel.
    const int depth = bits == 1 ? 1 : layout.grey ? 8 : 24;
    CheckAgainstTool("convert {in} " + std::string(layout.options) + " -depth "
                         + std::to_string(bits) + " tiff:{out}",
                     IM16, depth, 0, width, width == 66 ? 3 : 23);
}

INSTANTIATE_TEST_SUITE_P(Tools, TiffDepthSweep,
                         testing::Combine(testing::Range(1, 17), testing::ValuesIn(kLayouts),
                                          testing::Values(37, 66)),
                         [](const auto &p) {
                             return std::get<1>(p.param).name + std::to_string(std::get<0>(p.param))
                                    + "bit_" + std::to_string(std::get<2>(p.param)) + "wide";
                         });

struct KindCase {
    const char *name;
    const char *encode;
    const char *decode;
    int depth;
    int tolerance;
};

class TiffKinds : public testing::TestWithParam<KindCase> {};

TEST_P(TiffKinds, MatchesTheToolsDecode)
{
    if (!HaveTiffTools())
        GTEST_SKIP() << "ImageMagick or libtiff's tools are missing";
    const KindCase &c = GetParam();
    CheckAgainstTool(c.encode, c.decode, c.depth, c.tolerance);
}

const KindCase kKinds[] = {
    {"float32", "convert {in} " FLOAT "-depth 32 -compress lzw tiff:{out}", IM16, 24, 0},
    {"float64", "convert {in} " FLOAT "-depth 64 -compress zip tiff:{out}", IM16, 24, 0},
    {"float16", "convert {in} " FLOAT "-depth 16 -compress zip tiff:{out}", IM16, 24, 0},
    {"float32Grey", "convert {in} -colorspace Gray " FLOAT "-depth 32 -compress lzw tiff:{out}",
     IM16, 8, 0},
    {"float32Planar", "convert {in} " FLOAT "-depth 32 -interlace plane -compress zip tiff:{out}",
     IM16, 24, 0},
    {"uint32", "convert {in} -depth 32 -compress none tiff:{out}", IM16, 24, 0},
    {"uint32Grey", "convert {in} -colorspace Gray -depth 32 -compress lzw tiff:{out}", IM16, 8, 0},
    // Ink times black truncated, as netpbm (and libtiff) compute it; ImageMagick rounds.
    {"cmyk8", "convert {in} -colorspace CMYK -depth 8 tiff:{out}", "tifftopnm {out}", 24, 0},
    {"cmyk8Planar", "convert {in} -colorspace CMYK -depth 8 -interlace plane tiff:{out}",
     "tifftopnm {out}", 24, 0},
    {"cmyk16", "convert {in} -colorspace CMYK -depth 16 tiff:{out}", IM16, 24, 1},
    {"cmyk16Lzw", "convert {in} -colorspace CMYK -depth 16 -compress lzw tiff:{out}", IM16, 24, 1},
    {"cmykTiles", "convert {in} -colorspace CMYK -define tiff:tile-geometry=16x16 tiff:{out}", IM16,
     24, 1},
    // ImageMagick's 8-bit L*a*b* is half a unit off the TIFF rules both ways (its own
    // round trip hides it), which the sRGB curve magnifies to tens of levels near black;
    // so only its 16-bit files are compared here, loosely enough to pass its rounding but
    // not a wrong white or sign. TiffSamplesTest checks exact L*a*b* colours at 8 bits.
    {"lab16", "convert {in} -colorspace Lab -depth 16 tiff:{out}", IM16, 24, 16},
    {"rgba8", "convert {in} " FADE_ALPHA "-depth 8 tiff:{out}", IM16_ON_WHITE, 24, 1},
    {"rgba16", "convert {in} " FADE_ALPHA "-depth 16 tiff:{out}", IM16_ON_WHITE, 24, 0},
    {"rgba16Planar", "convert {in} " FADE_ALPHA "-depth 16 -interlace plane tiff:{out}",
     IM16_ON_WHITE, 24, 0},
    {"greyAlpha8", "convert {in} -colorspace Gray " FADE_ALPHA "-depth 8 tiff:{out}", IM16_ON_WHITE,
     8, 1},
    {"rgb12BigEndian", "convert {in} -depth 12 -endian MSB tiff:{out}", IM16, 24, 0},
    {"rgb16BigEndian", "convert {in} -depth 16 -endian MSB -compress none tiff:{out}", IM16, 24, 0},
    {"float32BigEndian", "convert {in} " FLOAT "-depth 32 -endian MSB -compress zip tiff:{out}",
     IM16, 24, 0},
    // libtiff's YCbCr conversion rounds differently from ImageMagick's.
    {"ycbcrRaw", "convert {in} -colorspace YCbCr -depth 8 -compress none tiff:{out}", IM16, 24, 2},
    {"jpegYcbcr", "convert {in} -compress jpeg -sampling-factor 2x2 tiff:{out}", IM16, 24, 0},
    {"jpegYcbcrTiles", "convert {in} -compress jpeg -define tiff:tile-geometry=16x16 tiff:{out}",
     IM16, 24, 0},
    {"palette8", "convert {in} -depth 8 -colors 200 -type Palette tiff:{out}", IM16, 8, 0},
    {"palette4Planes", "convert {in} -depth 8 -colors 16 -type Palette -depth 4 tiff:{out}", IM16,
     4, 0},
    {"palette2", "convert {in} -depth 8 -colors 4 -type Palette -depth 2 tiff:{out}", IM16, 4, 0},
    {"bilevelG4Tiles",
     "convert {in} -colorspace Gray -threshold 50% -type Bilevel -compress Group4 tiff:{dir}/s.tif"
     " && tiffcp -t -w 16 -l 16 {dir}/s.tif {out}",
     IM16, 1, 0},
};

INSTANTIATE_TEST_SUITE_P(Tools, TiffKinds, testing::ValuesIn(kKinds),
                         [](const auto &p) { return std::string(p.param.name); });

// Little CMS's tificc writes 8-bit CIE L*a*b* relative to D50 without a WhitePoint tag,
// as colour-managed programs do; read back by tificc itself (Bradford-adapted to sRGB),
// it must show the same colours.
class TiffLittleCms : public testing::TestWithParam<int> {};

TEST_P(TiffLittleCms, D50LabWithoutWhitePointMatchesItsOwnReading)
{
    if (!HaveTiffTools() || !HaveTool("tificc"))
        GTEST_SKIP() << "ImageMagick, libtiff's tools or Little CMS's tificc are missing";
    CheckAgainstTool("convert {in} -depth 8 -compress none tiff:{dir}/rgb.tif"
                     " && tificc -c0 -t1 '-o*Lab' -w8 {dir}/rgb.tif {out}"
                     " && tiffinfo {out} | grep -q 'CIE L\\*a\\*b\\*'"
                     " && ! tiffinfo {out} | grep -q 'White Point'",
                     "tificc -c0 -t1 '-i*Lab' -w8 {out} {dir}/back.tif"
                     " && convert {dir}/back.tif -depth 16 ppm:-",
                     24, 1, GetParam(), GetParam() == 66 ? 3 : 23);
}

INSTANTIATE_TEST_SUITE_P(Tools, TiffLittleCms, testing::Values(37, 66));

// The same picture on every reading path, marked with each of the eight orientations by
// tiffset, must show as ImageMagick shows it when asked to turn it upright.
struct PathCase {
    const char *name;
    const char *encode;
    int depth;
    int tolerance;
};

class TiffOrientation : public testing::TestWithParam<std::tuple<PathCase, int>> {};

TEST_P(TiffOrientation, IsAppliedOnEveryPath)
{
    if (!HaveTiffTools())
        GTEST_SKIP() << "ImageMagick or libtiff's tools are missing";
    const auto [path, orientation] = GetParam();
    CheckAgainstTool(std::string(path.encode) + " && tiffset -s 274 " + std::to_string(orientation)
                         + " {out}",
                     "convert tiff:{out} -auto-orient -depth 16 ppm:-", path.depth, path.tolerance);
}

const PathCase kPaths[] = {
    {"rawStrips", "convert {in} -depth 8 -compress none tiff:{out}", 24, 0},
    {"lzwScanLines", "convert {in} -depth 16 -compress lzw tiff:{out}", 24, 0},
    {"planarBands", "convert {in} -depth 8 -interlace plane -compress zip tiff:{out}", 24, 0},
    {"tiles", "convert {in} -depth 5 -define tiff:tile-geometry=16x16 tiff:{out}", 24, 0},
    {"palette4", "convert {in} -depth 8 -colors 16 -type Palette -depth 4 tiff:{out}", 4, 0},
    {"bilevelG4",
     "convert {in} -colorspace Gray -threshold 50% -type Bilevel -compress Group4 tiff:{out}", 1,
     0},
    {"rgbaReader", "convert {in} -colorspace YCbCr -depth 8 -compress none tiff:{out}", 24, 2},
};

INSTANTIATE_TEST_SUITE_P(Tools, TiffOrientation,
                         testing::Combine(testing::ValuesIn(kPaths), testing::Range(1, 9)),
                         [](const auto &p) {
                             return std::string(std::get<0>(p.param).name) + "_"
                                    + std::to_string(std::get<1>(p.param));
                         });

// ImageMagick turns JPEG-compressed TIFF twice (its RGBA reader already flips), so these
// are checked against netpbm, which turns them once, for the orientations it handles.
class TiffJpegOrientation : public testing::TestWithParam<int> {};

TEST_P(TiffJpegOrientation, MatchesNetpbm)
{
    if (!HaveTiffTools() || !HaveTool("tifftopnm"))
        GTEST_SKIP() << "ImageMagick, libtiff's tools or netpbm are missing";
    CheckAgainstTool("convert {in} -compress jpeg tiff:{out} && tiffset -s 274 "
                         + std::to_string(GetParam()) + " {out}",
                     "tifftopnm {out}", 24, 0);
}

INSTANTIATE_TEST_SUITE_P(Tools, TiffJpegOrientation, testing::Range(1, 5));

} // namespace
