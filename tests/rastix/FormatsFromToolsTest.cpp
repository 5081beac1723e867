// SPDX-License-Identifier: GPL-3.0-or-later
// GIF, TIFF, PCX, IFF and TGA files written by independent encoders (netpbm,
// ImageMagick) must open at the expected depth and match, pixel for pixel, what those
// tools' own decoders read from the same file. Odd widths exercise row padding.
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace testsupport;

namespace {

struct ToolCase {
    const char *name;
    // Shell command writing the file {out} from the 24-bit PPM {in}.
    const char *encode;
    // Shell command writing a PPM to standard output from {out}.
    const char *decode;
    int depth;
    int width;
    int height;
};

std::string Expand(std::string command, const std::string &in, const std::string &out)
{
    for (auto [key, value] : {std::pair{std::string("{in}"), in}, {std::string("{out}"), out}}) {
        for (size_t at = command.find(key); at != std::string::npos; at = command.find(key))
            command.replace(at, key.size(), value);
    }
    return command;
}

class FormatsFromTools : public ::testing::TestWithParam<ToolCase> {};

TEST_P(FormatsFromTools, MatchesTheToolsOwnDecode)
{
    const ToolCase &c = GetParam();
    if (!HaveTool("pnmquant") || !HaveTool("convert"))
        GTEST_SKIP() << "netpbm or ImageMagick missing";
    TempDir dir;
    const std::string in = dir.file("in.ppm");
    const std::string out = dir.file("picture.bin");
    const std::string reference = dir.file("reference.ppm");
    ASSERT_TRUE(WritePpm(in, PatternPicture(c.width, c.height)));
    ASSERT_EQ(testsupport::Run(Expand(c.encode, in, out) + " 2>/dev/null"), 0) << c.encode;
    ASSERT_EQ(testsupport::Run("(" + Expand(c.decode, in, out)
                               + ") 2>/dev/null | ppmtoppm | pnmdepth 255 > " + reference),
              0)
        << c.decode;
    const RgbPicture expected = ReadPnm(reference);
    ASSERT_EQ(expected.width, c.width);

    const RasterImage raster = OpenDib(out.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), c.depth);
    const RgbPicture got = RasterToRgb(raster);
    deldib(raster);
    ASSERT_EQ(got.width, expected.width);
    ASSERT_EQ(got.height, expected.height);
    int wrong = 0;
    for (int y = 0; y < got.height && wrong < 5; ++y) {
        for (int x = 0; x < got.width && wrong < 5; ++x) {
            if (got.r(x, y) != expected.r(x, y) || got.g(x, y) != expected.g(x, y)
                || got.b(x, y) != expected.b(x, y)) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << int(got.r(x, y)) << ","
                              << int(got.g(x, y)) << "," << int(got.b(x, y)) << " expected "
                              << int(expected.r(x, y)) << "," << int(expected.g(x, y)) << ","
                              << int(expected.b(x, y));
                ++wrong;
            }
        }
    }
}

#define BILEVEL "ppmtopgm {in} | pamthreshold | pamtopnm"
#define GREY "ppmtopgm {in}"
#define Q(n) "pnmquant " #n " {in} 2>/dev/null"

const ToolCase kCases[] = {
    // PCX
    {"pcx_1bit", BILEVEL " | ppmtopcx > {out}", "pcxtoppm {out}", 1, 37, 11},
    {"pcx_4planes", Q(16) " | ppmtopcx -planes 4 > {out}", "pcxtoppm {out}", 4, 37, 11},
    {"pcx_4planes_few_colours", Q(5) " | ppmtopcx > {out}", "pcxtoppm {out}", 4, 9, 4},
    {"pcx_packed4", Q(16) " | ppmtopcx -packed > {out}", "pcxtoppm {out}", 4, 31, 7},
    {"pcx_8bit", Q(200) " | ppmtopcx -8bit > {out}", "pcxtoppm {out}", 8, 33, 13},
    {"pcx_24bit", "ppmtopcx -24bit {in} > {out}", "pcxtoppm {out}", 24, 35, 9},
    {"pcx_24bit_wide", "ppmtopcx {in} > {out}", "pcxtoppm {out}", 24, 301, 3},
    // IFF
    {"ilbm_1plane", BILEVEL " | ppmtoilbm > {out}", "ilbmtoppm {out}", 1, 37, 11},
    {"ilbm_3planes", Q(8) " | ppmtoilbm > {out}", "ilbmtoppm {out}", 4, 21, 6},
    {"ilbm_4planes", Q(16) " | ppmtoilbm > {out}", "ilbmtoppm {out}", 4, 37, 11},
    {"ilbm_5planes_raw", Q(32) " | ppmtoilbm -cmethod none > {out}", "ilbmtoppm {out}", 8, 19, 5},
    {"ilbm_8planes", Q(256) " | ppmtoilbm -maxplanes 8 > {out}", "ilbmtoppm {out}", 8, 45, 17},
    {"ilbm_fixed8_few_colours", Q(7) " | ppmtoilbm -fixplanes 8 > {out}", "ilbmtoppm {out}", 8, 13,
     5},
    {"ilbm_ham6", "ppmtoilbm -ham6 {in} > {out}", "ilbmtoppm {out}", 24, 37, 11},
    {"ilbm_ham8", "ppmtoilbm -ham8 {in} > {out}", "ilbmtoppm {out}", 24, 37, 11},
    {"ilbm_24", "ppmtoilbm -24force {in} > {out}", "ilbmtoppm {out}", 24, 37, 11},
    {"ilbm_24_raw", "ppmtoilbm -24force -cmethod none {in} > {out}", "ilbmtoppm {out}", 24, 17, 3},
    // TGA
    {"tga_cmap_rle", Q(100) " | pamtotga -cmap > {out}", "tgatoppm {out}", 8, 37, 11},
    {"tga_cmap_raw", Q(100) " | pamtotga -cmap -norle > {out}", "tgatoppm {out}", 8, 37, 11},
    {"tga_grey_rle", GREY " | pamtotga -mono > {out}", "tgatoppm {out}", 8, 37, 11},
    {"tga_grey_raw", GREY " | pamtotga -mono -norle > {out}", "tgatoppm {out}", 8, 37, 11},
    {"tga_rgb_rle", "pamtotga -rgb {in} > {out}", "tgatoppm {out}", 24, 37, 11},
    {"tga_rgb_raw", "pamtotga -rgb -norle {in} > {out}", "tgatoppm {out}", 24, 37, 11},
    {"tga_magick_rle", "convert {in} -compress RLE tga:{out}", "tgatoppm {out}", 24, 39, 13},
    {"tga_magick_grey_rle", "convert {in} -colorspace Gray -compress RLE tga:{out}",
     "tgatoppm {out}", 8, 39, 13},
    {"tga_magick_16bit", "convert {in} -depth 5 -define tga:bits-per-pixel=16 tga:{out}",
     "tgatoppm {out}", 24, 23, 7},
    {"tga_magick_32bit", "convert {in} -alpha set -compress None tga:{out}", "tgatoppm {out}", 24,
     23, 7},
    // GIF
    {"gif_256", Q(256) " | pamtogif > {out}", "giftopnm {out}", 8, 37, 11},
    {"gif_2", BILEVEL " | pamtogif > {out}", "giftopnm {out}", 8, 37, 11},
    {"gif_interlaced", Q(64) " | pamtogif -interlace > {out}", "giftopnm {out}", 8, 41, 19},
    {"gif_one_row", Q(16) " | pamtogif > {out}", "giftopnm {out}", 8, 29, 1},
    // TIFF
    {"tiff_rgb_raw", "pnmtotiff -none {in} > {out}", "tifftopnm {out}", 24, 37, 11},
    {"tiff_rgb_packbits", "pnmtotiff -packbits {in} > {out}", "tifftopnm {out}", 24, 37, 11},
    {"tiff_rgb_lzw", "pnmtotiff -lzw {in} > {out}", "tifftopnm {out}", 24, 37, 11},
    {"tiff_rgb_flate", "pnmtotiff -flate {in} > {out}", "tifftopnm {out}", 24, 37, 11},
    {"tiff_rgb_jpeg", "convert {in} -compress JPEG tiff:{out}", "convert tiff:{out} ppm:-", 24, 37,
     11},
    {"tiff_rgb_planar", "convert {in} -interlace plane -compress LZW tiff:{out}",
     "convert tiff:{out} ppm:-", 24, 37, 11},
    {"tiff_rgb_16bit", "convert {in} -depth 16 tiff:{out}", "convert tiff:{out} -depth 8 ppm:-", 24,
     21, 5},
    {"tiff_grey", GREY " | pnmtotiff -lzw > {out}", "tifftopnm {out}", 8, 37, 11},
    {"tiff_grey_4bit", GREY " | pnmdepth 15 | pnmtotiff > {out}", "tifftopnm {out}", 8, 37, 11},
    {"tiff_palette8", Q(200) " | pnmtotiff -lzw > {out}", "tifftopnm {out}", 8, 37, 11},
    {"tiff_palette4", Q(16) " | pnmtotiff -indexbits 4 > {out}", "tifftopnm {out}", 4, 37, 11},
    {"tiff_palette2", Q(4) " | pnmtotiff -indexbits 1,2,4 > {out}", "tifftopnm {out}", 4, 37, 11},
    {"tiff_bilevel_raw", BILEVEL " | pnmtotiff -none > {out}", "tifftopnm {out}", 1, 37, 11},
    {"tiff_bilevel_white", BILEVEL " | pnmtotiff -miniswhite > {out}", "tifftopnm {out}", 1, 37,
     11},
    {"tiff_bilevel_black", BILEVEL " | pnmtotiff -minisblack > {out}", "tifftopnm {out}", 1, 37,
     11},
    {"tiff_bilevel_packbits", BILEVEL " | pnmtotiff -packbits > {out}", "tifftopnm {out}", 1, 37,
     11},
    {"tiff_bilevel_g3", BILEVEL " | pnmtotiff -g3 > {out}", "tifftopnm {out}", 1, 37, 11},
    {"tiff_bilevel_g3_2d", BILEVEL " | pnmtotiff -g3 -2d -lsb2msb > {out}", "tifftopnm {out}", 1,
     37, 11},
    {"tiff_bilevel_g4", BILEVEL " | pnmtotiff -g4 > {out}", "tifftopnm {out}", 1, 37, 11},
    {"tiff_tiled", "pnmtotiff {in} > {out}.strips && tiffcp -t -w 16 -l 16 {out}.strips {out}",
     "tifftopnm {out}", 24, 37, 21},
    {"tiff_cmyk", "convert {in} -colorspace CMYK tiff:{out}", "tifftopnm {out}", 24, 17, 5},
};

INSTANTIATE_TEST_SUITE_P(Tools, FormatsFromTools, ::testing::ValuesIn(kCases),
                         [](const auto &p) { return std::string(p.param.name); });

} // namespace
