// SPDX-License-Identifier: GPL-3.0-or-later
// TIFF kinds ImageMagick does not write or does not read as the TIFF rules say (signed
// and 24-bit samples, palettes of odd index widths, floating-point values outside 0..1,
// exact L*a*b* colours, associated alpha), written at test time with libtiff's writer
// from known sample values and checked against what those values mean; and every
// refusal text of the TIFF plan.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/TiffPlan.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

struct TiffLayout {
    int width = 1, height = 1, bits = 8, samples = 1;
    int photometric = PHOTOMETRIC_MINISBLACK;
    int format = SAMPLEFORMAT_UINT;
    bool bigEndian = false;
    std::vector<uint16_t> extra;     // ExtraSamples values
    std::vector<uint16_t> colourMap; // red, then green, then blue entries
    std::vector<float> whitePoint;   // WhitePoint chromaticity x, y; no tag when empty
};

// One row of sample values as TIFF stores them: 16-, 24-, 32- and 64-bit samples in the
// machine's order (libtiff swaps them for a big-endian file), others as a bit stream.
std::vector<uint8_t> PackRow(const std::vector<uint64_t> &values, int bits)
{
    std::vector<uint8_t> out((values.size() * size_t(bits) + 7) / 8, 0);
    if (bits % 8 == 0 && bits > 8) {
        const size_t n = size_t(bits / 8);
        for (size_t i = 0; i < values.size(); ++i) {
            uint64_t v = values[i];
            std::memcpy(out.data() + i * n, &v, n); // little-endian machine
        }
        return out;
    }
    size_t bit = 0;
    for (uint64_t v : values) {
        for (int b = bits - 1; b >= 0; --b, ++bit)
            if (v >> b & 1)
                out[bit / 8] |= uint8_t(0x80 >> (bit % 8));
    }
    return out;
}

// Writes the picture (rows of sample values, chunky) with libtiff's writer.
std::string WriteTiff(const TempDir &dir, const TiffLayout &layout,
                      const std::vector<std::vector<uint64_t>> &rows)
{
    const std::string path = dir.file("picture.tif");
    TIFF *tiff = TIFFOpen(path.c_str(), layout.bigEndian ? "wb" : "wl");
    if (!tiff)
        return {};
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(layout.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(layout.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(layout.bits));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(layout.samples));
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, uint16_t(layout.format));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(layout.photometric));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(2));
    if (!layout.extra.empty())
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, uint16_t(layout.extra.size()),
                     layout.extra.data());
    if (!layout.whitePoint.empty())
        TIFFSetField(tiff, TIFFTAG_WHITEPOINT, layout.whitePoint.data());
    if (!layout.colourMap.empty()) {
        const size_t n = layout.colourMap.size() / 3;
        TIFFSetField(tiff, TIFFTAG_COLORMAP, layout.colourMap.data(), layout.colourMap.data() + n,
                     layout.colourMap.data() + 2 * n);
    }
    bool ok = true;
    for (size_t y = 0; y < rows.size(); ++y) {
        std::vector<uint8_t> row = PackRow(rows[y], layout.bits);
        ok = ok && TIFFWriteScanline(tiff, row.data(), uint32_t(y), 0) >= 0;
    }
    TIFFClose(tiff);
    return ok ? path : std::string();
}

struct Opened {
    RasterImage raster;
    explicit Opened(const std::string &path) : raster(OpenDib(path.c_str())) {}
    ~Opened() { deldib(raster); }
    int depth() const { return RasterBitCount(raster); }
    // Red, green, blue of (x, y), through the palette when indexed.
    std::array<int, 3> rgb(int x, int y) const
    {
        const uint32_t v = getpixel(raster, x, y);
        if (depth() == 24)
            return {int(v & 255), int(v >> 8 & 255), int(v >> 16)};
        const PALETTEENTRY &e = raster.Palette.palPalEntry[v];
        return {e.peRed, e.peGreen, e.peBlue};
    }
    int grey(int x, int y) const { return rgb(x, y)[0]; }
};

class SignedSamples : public testing::TestWithParam<int> {};

TEST_P(SignedSamples, AreShiftedByHalfTheirRange)
{
    const int bits = GetParam();
    const int64_t half = int64_t(1) << (bits - 1);
    // From the most negative value (black) to the most positive (white).
    std::vector<uint64_t> row;
    std::vector<int64_t> signedValues;
    for (int64_t s = -half; s < half; s += std::max<int64_t>(1, half / 40)) {
        signedValues.push_back(s);
        row.push_back(uint64_t(s) & ((uint64_t(1) << bits) - 1));
    }
    signedValues.push_back(half - 1);
    row.push_back(uint64_t(half - 1));
    TempDir dir;
    TiffLayout layout;
    layout.width = int(row.size());
    layout.bits = bits;
    layout.format = SAMPLEFORMAT_INT;
    Opened o(WriteTiff(dir, layout, {row}));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(o.depth(), 8);
    for (size_t x = 0; x < row.size(); ++x) {
        const uint64_t offset = uint64_t(signedValues[x] + half);
        const int expected =
            bits >= 8 ? int(offset >> (bits - 8)) : int(offset * 255 / (2 * half - 1));
        EXPECT_EQ(o.grey(int(x), 0), expected) << "value " << signedValues[x];
    }
    EXPECT_EQ(o.grey(0, 0), 0);
    EXPECT_EQ(o.grey(int(row.size()) - 1, 0), 255);
}

INSTANTIATE_TEST_SUITE_P(Libtiff, SignedSamples, testing::Values(4, 8, 12, 16, 32));

struct WideCase {
    int bits;
    bool bigEndian;
};

class WideIntegers : public testing::TestWithParam<WideCase> {};

TEST_P(WideIntegers, KeepTheirHighByteInEitherByteOrder)
{
    const auto [bits, bigEndian] = GetParam();
    const std::vector<uint64_t> row = {
        0, uint64_t(0x01) << (bits - 8), uint64_t(0x7F) << (bits - 8) | 5,
        (uint64_t(0xFE) << (bits - 8)) + ((uint64_t(1) << (bits - 8)) - 1),
        bits == 64 ? ~uint64_t(0) : (uint64_t(1) << bits) - 1};
    TempDir dir;
    TiffLayout layout;
    layout.width = int(row.size());
    layout.bits = bits;
    layout.bigEndian = bigEndian;
    Opened o(WriteTiff(dir, layout, {row}));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    const int expected[] = {0, 1, 0x7F, 0xFE, 0xFF};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(o.grey(x, 0), expected[x]) << x;
}

INSTANTIATE_TEST_SUITE_P(Libtiff, WideIntegers,
                         testing::Values(WideCase{24, false}, WideCase{24, true},
                                         WideCase{20, false}, WideCase{64, false},
                                         WideCase{64, true}));

class PaletteIndexWidths : public testing::TestWithParam<int> {};

TEST_P(PaletteIndexWidths, LookUpTheirColourMap)
{
    const int bits = GetParam();
    const size_t entries = size_t(1) << bits;
    TiffLayout layout;
    layout.bits = bits;
    layout.photometric = PHOTOMETRIC_PALETTE;
    layout.colourMap.resize(3 * entries);
    auto colour = [](size_t i, int c) { return uint8_t((i * 37 + size_t(c) * 91 + 11) % 251); };
    for (size_t i = 0; i < entries; ++i)
        for (int c = 0; c < 3; ++c)
            layout.colourMap[size_t(c) * entries + i] = uint16_t(colour(i, c) * 257);
    std::vector<uint64_t> row;
    const size_t count = std::min<size_t>(entries, 40);
    for (size_t i = 0; i < count; ++i)
        row.push_back(std::min(entries - 1, i * (entries / count) + (i % 2)));
    row.push_back(entries - 1);
    layout.width = int(row.size());
    TempDir dir;
    Opened o(WriteTiff(dir, layout, {row, row}));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    const int depth = bits == 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : 24;
    EXPECT_EQ(o.depth(), depth);
    for (size_t x = 0; x < row.size(); ++x) {
        const size_t i = row[x];
        const std::array<int, 3> want = {colour(i, 0), colour(i, 1), colour(i, 2)};
        EXPECT_EQ(o.rgb(int(x), 1), want) << "index " << i;
        if (depth <= 8) {
            EXPECT_EQ(getpixel(o.raster, int(x), 1), i);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Libtiff, PaletteIndexWidths, testing::Range(1, 17));

class FloatingPoint : public testing::TestWithParam<int> {};

TEST_P(FloatingPoint, IsTakenAsZeroToOneAndClamped)
{
    const int bits = GetParam();
    const double values[] = {-1.0, NAN, 0.0, 0.25, 0.5, 1.0, 2.0, INFINITY, 0.75};
    const int expected[] = {0, 0, 0, 64, 128, 255, 255, 255, 191};
    std::vector<uint64_t> row;
    for (double v : values) {
        if (bits == 64)
            row.push_back(std::bit_cast<uint64_t>(v));
        else if (bits == 32)
            row.push_back(std::bit_cast<uint32_t>(float(v)));
        else // half: exactly representable values only
            row.push_back(std::isnan(v)   ? 0x7E00u
                          : std::isinf(v) ? 0x7C00u
                          : v == -1.0     ? 0xBC00u
                          : v == 0.0      ? 0u
                          : v == 2.0      ? 0x4000u
                          : v == 1.0      ? 0x3C00u
                          : v == 0.5      ? 0x3800u
                          : v == 0.25     ? 0x3400u
                                          : 0x3A00u);
    }
    TiffLayout layout;
    layout.width = int(row.size());
    layout.bits = bits;
    layout.format = SAMPLEFORMAT_IEEEFP;
    TempDir dir;
    Opened o(WriteTiff(dir, layout, {row}));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(o.depth(), 8);
    for (size_t x = 0; x < row.size(); ++x)
        EXPECT_EQ(o.grey(int(x), 0), expected[x]) << values[x];
}

INSTANTIATE_TEST_SUITE_P(Libtiff, FloatingPoint, testing::Values(16, 32, 64));

// sRGB colours and their published CIE L*a*b* values (D65 white).
struct LabColour {
    double l, a, b;
    std::array<int, 3> rgb;
};
const LabColour kLabColours[] = {
    {100.0, 0.0, 0.0, {255, 255, 255}},          {0.0, 0.0, 0.0, {0, 0, 0}},
    {53.585, 0.0, 0.0, {128, 128, 128}},         {53.2408, 80.0925, 67.2032, {255, 0, 0}},
    {87.7347, -86.1827, 83.1793, {0, 255, 0}},   {32.2970, 79.1875, -107.8602, {0, 0, 255}},
    {97.1393, -21.5537, 94.4780, {255, 255, 0}},
};

struct LabEncoding {
    const char *name;
    int photometric;
    int bits;
    int format;
    int tolerance; // the stored precision's rounding, magnified by the sRGB curve near 0
};

class LabColours : public testing::TestWithParam<LabEncoding> {};

TEST_P(LabColours, ShowAsTheirSrgbColours)
{
    const LabEncoding e = GetParam();
    std::vector<uint64_t> row;
    const double top = std::ldexp(1.0, e.bits) - 1;
    for (const LabColour &c : kLabColours) {
        if (e.format == SAMPLEFORMAT_IEEEFP) {
            for (double v : {c.l, c.a, c.b})
                row.push_back(std::bit_cast<uint32_t>(float(v)));
        } else if (e.photometric == PHOTOMETRIC_ICCLAB) {
            row.push_back(uint64_t(std::lround(c.l * top / 100)));
            for (double v : {c.a, c.b})
                row.push_back(uint64_t(std::lround((v + 128) * top / 255)));
        } else {
            row.push_back(uint64_t(std::lround(c.l * top / 100)));
            for (double v : {c.a, c.b})
                row.push_back(uint64_t(std::lround(std::ldexp(v, e.bits - 8)))
                              & ((uint64_t(1) << e.bits) - 1));
        }
    }
    TiffLayout layout;
    layout.width = int(std::size(kLabColours));
    layout.bits = e.bits;
    layout.samples = 3;
    layout.photometric = e.photometric;
    layout.format = e.format;
    layout.whitePoint = {0.3127f, 0.3290f}; // the values are relative to D65
    TempDir dir;
    Opened o(WriteTiff(dir, layout, {row}));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(o.depth(), 24);
    for (size_t x = 0; x < std::size(kLabColours); ++x) {
        const std::array<int, 3> got = o.rgb(int(x), 0);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(got[size_t(c)], kLabColours[x].rgb[size_t(c)], e.tolerance)
                << "colour " << x << " component " << c << ": " << got[0] << "," << got[1] << ","
                << got[2];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Libtiff, LabColours,
    testing::Values(LabEncoding{"cie8", PHOTOMETRIC_CIELAB, 8, SAMPLEFORMAT_UINT, 8},
                    LabEncoding{"cie16", PHOTOMETRIC_CIELAB, 16, SAMPLEFORMAT_UINT, 1},
                    LabEncoding{"icc8", PHOTOMETRIC_ICCLAB, 8, SAMPLEFORMAT_UINT, 8},
                    LabEncoding{"icc16", PHOTOMETRIC_ICCLAB, 16, SAMPLEFORMAT_UINT, 1},
                    LabEncoding{"float", PHOTOMETRIC_CIELAB, 32, SAMPLEFORMAT_IEEEFP, 1}),
    [](const auto &p) { return std::string(p.param.name); });

// The same sRGB colours relative to D50 (Bradford-adapted, as Little CMS gives them).
const LabColour kD50Colours[] = {
    {100.0, 0.0, 0.0, {255, 255, 255}},         {53.585, 0.0, 0.0, {128, 128, 128}},
    {54.2896, 80.8144, 69.8897, {255, 0, 0}},   {87.8194, -79.2749, 80.9927, {0, 255, 0}},
    {29.5659, 68.2862, -112.0329, {0, 0, 255}}, {97.6074, -15.7479, 93.3913, {255, 255, 0}},
};

struct WhiteCase {
    const char *name;
    std::vector<float> tag; // the WhitePoint tag, none when empty
    bool d50;               // the values are relative to D50, else to D65
};

class LabWhitePoint : public testing::TestWithParam<WhiteCase> {};

TEST_P(LabWhitePoint, IsTheTagsOrD50WithoutOne)
{
    const WhiteCase w = GetParam();
    const std::vector<LabColour> colours =
        w.d50 ? std::vector<LabColour>(std::begin(kD50Colours), std::end(kD50Colours))
              : std::vector<LabColour>(std::begin(kLabColours), std::end(kLabColours));
    std::vector<uint64_t> row;
    for (const LabColour &c : colours) {
        row.push_back(uint64_t(std::lround(c.l * 65535 / 100)));
        for (double v : {c.a, c.b})
            row.push_back(uint64_t(std::lround(v * 256)) & 0xFFFF);
    }
    TiffLayout layout;
    layout.width = int(colours.size());
    layout.bits = 16;
    layout.samples = 3;
    layout.photometric = PHOTOMETRIC_CIELAB;
    layout.whitePoint = w.tag;
    TempDir dir;
    Opened o(WriteTiff(dir, layout, {row}));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    for (size_t x = 0; x < colours.size(); ++x) {
        const std::array<int, 3> got = o.rgb(int(x), 0);
        for (size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(got[c], colours[x].rgb[c], 1)
                << "colour " << x << ": " << got[0] << "," << got[1] << "," << got[2];
    }
}

INSTANTIATE_TEST_SUITE_P(Libtiff, LabWhitePoint,
                         testing::Values(WhiteCase{"none", {}, true},
                                         WhiteCase{"d50", {0.3457f, 0.3585f}, true},
                                         WhiteCase{"d65", {0.3127f, 0.3290f}, false}),
                         [](const auto &p) { return std::string(p.param.name); });

int OverWhite(int v, int a)
{
    return (v * a + 255 * (255 - a) + 127) / 255;
}

TEST(TiffAlpha, UnassociatedAndAssociatedAlphaAreCompositedOntoWhite)
{
    const std::vector<uint64_t> pixels = {200, 100, 0, 128, 10, 20, 30, 0, 1, 2, 3, 255};
    for (uint16_t kind : {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_ASSOCALPHA}) {
        SCOPED_TRACE(kind);
        TiffLayout layout;
        layout.width = 3;
        layout.samples = 4;
        layout.photometric = PHOTOMETRIC_RGB;
        layout.extra = {kind};
        TempDir dir;
        Opened o(WriteTiff(dir, layout, {pixels}));
        ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
        for (int x = 0; x < 3; ++x) {
            const int a = int(pixels[size_t(4 * x + 3)]);
            for (int c = 0; c < 3; ++c) {
                const int v = int(pixels[size_t(4 * x + c)]);
                const int want =
                    kind == EXTRASAMPLE_ASSOCALPHA ? std::min(255, v + 255 - a) : OverWhite(v, a);
                EXPECT_EQ(o.rgb(x, 0)[size_t(c)], want) << x << " " << c;
            }
        }
    }
}

TEST(TiffAlpha, PaletteAndCmykWithAlphaBecomeColour)
{
    TiffLayout palette;
    palette.width = 2;
    palette.bits = 8;
    palette.samples = 2;
    palette.photometric = PHOTOMETRIC_PALETTE;
    palette.extra = {EXTRASAMPLE_UNASSALPHA};
    palette.colourMap.assign(3 * 256, 0);
    palette.colourMap[5] = 200 * 257; // red of entry 5
    TempDir dir;
    {
        Opened o(WriteTiff(dir, palette, {{5, 255, 5, 0}}));
        ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
        EXPECT_EQ(o.depth(), 24);
        EXPECT_EQ(o.rgb(0, 0), (std::array<int, 3>{200, 0, 0}));
        EXPECT_EQ(o.rgb(1, 0), (std::array<int, 3>{255, 255, 255}));
    }
    TiffLayout cmyk;
    cmyk.width = 1;
    cmyk.samples = 5;
    cmyk.photometric = PHOTOMETRIC_SEPARATED;
    cmyk.extra = {EXTRASAMPLE_UNASSALPHA};
    // Cyan 255 and black 51: red 0, green and blue 204; at alpha 128 over white.
    Opened o(WriteTiff(dir, cmyk, {{255, 0, 0, 51, 128}}));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(o.rgb(0, 0),
              (std::array<int, 3>{OverWhite(0, 128), OverWhite(204, 128), OverWhite(204, 128)}));
}

TEST(TiffRefusals, NameTheUnsupportedKindThroughOpenDib)
{
    TempDir dir;
    TiffLayout complex;
    complex.bits = 32;
    complex.format = SAMPLEFORMAT_COMPLEXINT;
    {
        Opened o(WriteTiff(dir, complex, {{0}}));
        EXPECT_EQ(RasterErrorText(o.raster), "TIFF with complex-number samples is not supported");
    }
    TiffLayout twoSamples;
    twoSamples.samples = 2;
    twoSamples.photometric = PHOTOMETRIC_RGB;
    {
        Opened o(WriteTiff(dir, twoSamples, {{1, 2}}));
        EXPECT_EQ(RasterErrorText(o.raster),
                  "The picture is damaged: its TIFF colour pictures have only 2 samples per pixel");
    }
    if (!HaveTool("tiffset"))
        GTEST_SKIP() << "libtiff's tools are missing";
    const std::string path = WriteTiff(dir, TiffLayout{}, {{7}});
    ASSERT_EQ(testsupport::Run("tiffset -s 259 34712 " + path + " 2>/dev/null"), 0);
    Opened o(path);
    EXPECT_EQ(o.raster.Pixels, nullptr);
    EXPECT_EQ(RasterErrorText(o.raster), "TIFF with JPEG 2000 compression is not supported");
}

struct PlanRefusal {
    const char *name;
    rastix::TiffTags tags;
    const char *text;
};

rastix::TiffTags Tags(int photometric, int bits = 8, int samples = 1, int format = 1)
{
    rastix::TiffTags t;
    t.width = t.height = 1;
    t.photometric = photometric;
    t.bits = bits;
    t.samples = samples;
    t.sampleFormat = format;
    return t;
}

rastix::TiffTags Uncompiled(int compression)
{
    rastix::TiffTags t = Tags(1);
    t.compression = compression;
    t.codecAvailable = false;
    return t;
}

rastix::TiffTags Inks(int inkSet, int samples)
{
    rastix::TiffTags t = Tags(5, 8, samples);
    t.inkSet = inkSet;
    return t;
}

class TiffPlanRefusals : public testing::TestWithParam<PlanRefusal> {};

TEST_P(TiffPlanRefusals, SayWhatIsUnsupportedOrBroken)
{
    const auto plan = rastix::PlanTiff(GetParam().tags);
    ASSERT_TRUE(std::holds_alternative<std::string>(plan));
    EXPECT_EQ(std::get<std::string>(plan), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TiffPlanRefusals,
    testing::Values(
        PlanRefusal{"jpegXl", Uncompiled(50002), "TIFF with JPEG XL compression is not supported"},
        PlanRefusal{"unknownCompression", Uncompiled(4711),
                    "TIFF with compression 4711 is not supported"},
        PlanRefusal{"float24", Tags(1, 24, 1, 3),
                    "TIFF with 24-bit floating-point samples is not supported"},
        PlanRefusal{"float8", Tags(2, 8, 3, 3),
                    "TIFF with 8-bit floating-point samples is not supported"},
        PlanRefusal{"complexFloat", Tags(1, 64, 1, 6),
                    "TIFF with complex-number samples is not supported"},
        PlanRefusal{"sampleFormat9", Tags(1, 8, 1, 9),
                    "TIFF with sample format 9 is not supported"},
        PlanRefusal{"bits80", Tags(1, 80), "TIFF with 80-bit samples is not supported"},
        PlanRefusal{"floatPalette", Tags(3, 32, 1, 3),
                    "TIFF with floating-point palette indices is not supported"},
        PlanRefusal{"palette24", Tags(3, 24), "TIFF with 24-bit palette indices is not supported"},
        PlanRefusal{"hexachrome", Inks(2, 6), "TIFF with inks other than CMYK is not supported"},
        PlanRefusal{"threeInks", Inks(1, 3), "TIFF with inks other than CMYK is not supported"},
        PlanRefusal{"ycbcr16", Tags(6, 16, 3), "TIFF with 16-bit YCbCr samples is not supported"},
        PlanRefusal{"lab32", Tags(8, 32, 3), "TIFF with 32-bit L*a*b* samples is not supported"},
        PlanRefusal{"ituLab", Tags(10, 8, 3), "TIFF with ITU L*a*b* colours is not supported"},
        PlanRefusal{"mask", Tags(4, 1), "TIFF transparency masks are not supported"},
        PlanRefusal{"cfa", Tags(32803, 16),
                    "TIFF with colour filter array (raw sensor) data is not supported"},
        PlanRefusal{"linearRaw", Tags(34892, 16, 3),
                    "TIFF with linear raw (camera sensor) data is not supported"},
        PlanRefusal{"photometric7", Tags(7),
                    "TIFF with photometric interpretation 7 is not supported"},
        PlanRefusal{"zeroBits", Tags(1, 0), "The picture is damaged: its TIFF samples have 0 bits"},
        PlanRefusal{
            "rgbOneSample", Tags(2, 8, 1),
            "The picture is damaged: its TIFF colour pictures have only 1 samples per pixel"},
        PlanRefusal{"cmykThreeSamples", Tags(5, 8, 3),
                    "TIFF with inks other than CMYK is not supported"}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(TiffPlan, KindsAndDepthsFollowTheFormatsTable)
{
    using rastix::TiffColours;
    struct Expect {
        rastix::TiffTags tags;
        TiffColours colours;
        int depth;
    };
    rastix::TiffTags greyAlpha = Tags(1, 1, 2);
    greyAlpha.extraSamples = 1;
    greyAlpha.firstExtraSample = 2;
    rastix::TiffTags oldJpeg = Tags(6, 8, 3);
    oldJpeg.compression = 6;
    rastix::TiffTags jpeg = Tags(6, 8, 3);
    jpeg.compression = 7;
    rastix::TiffTags noPhotometric = Tags(-1, 8, 3);
    const Expect expectations[] = {
        {Tags(0, 1), TiffColours::Bilevel, 1},
        {Tags(1, 1), TiffColours::Bilevel, 1},
        {greyAlpha, TiffColours::Grey, 8},
        {Tags(1, 12), TiffColours::Grey, 8},
        {Tags(1, 32, 1, 3), TiffColours::Grey, 8},
        {Tags(3, 1), TiffColours::Palette, 1},
        {Tags(3, 3), TiffColours::Palette, 4},
        {Tags(3, 5), TiffColours::Palette, 8},
        {Tags(3, 9), TiffColours::Palette, 24},
        {Tags(2, 5, 3), TiffColours::Rgb, 24},
        {Tags(5, 16, 4), TiffColours::Cmyk, 24},
        {Tags(8, 8, 3), TiffColours::Lab, 24},
        {Tags(9, 16, 3), TiffColours::Lab, 24},
        {Tags(6, 8, 3), TiffColours::ThroughRgba, 24},
        {oldJpeg, TiffColours::ThroughRgba, 24},
        {Tags(32845, 16, 3), TiffColours::ThroughRgba, 24},
        {jpeg, TiffColours::Rgb, 24},
        {noPhotometric, TiffColours::Rgb, 24},
    };
    for (const Expect &e : expectations) {
        const auto plan = rastix::PlanTiff(e.tags);
        ASSERT_TRUE(std::holds_alternative<rastix::TiffPlan>(plan))
            << e.tags.photometric << " " << std::get<std::string>(plan);
        EXPECT_EQ(std::get<rastix::TiffPlan>(plan).colours, e.colours) << e.tags.photometric;
        EXPECT_EQ(std::get<rastix::TiffPlan>(plan).depth, e.depth) << e.tags.photometric;
    }
}

} // namespace

namespace {

// Tiles whose rows are not a whole number of bytes (a nonstandard tile width of 12
// pixels of 1 bit, which libtiff reads but will not write: the tag is patched after
// writing 16-pixel tiles, whose rows take the same 2 bytes) are put together bit by bit;
// ImageMagick reads the same file through libtiff's tile interface.
TEST(TiffTiles, RowsThatEndInsideAByteArePutTogetherBitByBit)
{
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is missing";
    TempDir dir;
    const std::string path = dir.file("tiles.tif"), ref = dir.file("ref.ppm");
    const int width = 29, height = 9;
    TIFF *tiff = TIFFOpen(path.c_str(), "wl");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(1));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK));
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, uint32_t(16));
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, uint32_t(16));
    // With 12-pixel tiles the picture needs 3 tiles across; give it 3.
    const uint32_t across = 3;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(across * 16));
    for (uint32_t t = 0; t < across; ++t) {
        std::vector<uint8_t> tile(32);
        for (size_t i = 0; i < tile.size(); ++i)
            tile[i] = uint8_t(i * 37 + t * 101 + 13);
        ASSERT_GE(TIFFWriteTile(tiff, tile.data(), t * 16, 0, 0, 0), 0);
    }
    TIFFClose(tiff);
    // Patch the width to 29 and the tile width to 12 in the directory.
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    const size_t ifd = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | size_t(bytes[7]) << 24;
    const size_t entries = bytes[ifd] | bytes[ifd + 1] << 8;
    for (size_t i = 0; i < entries; ++i) {
        uint8_t *e = bytes.data() + ifd + 2 + 12 * i;
        const int tag = e[0] | e[1] << 8;
        if (tag == TIFFTAG_IMAGEWIDTH)
            e[8] = uint8_t(width), e[9] = 0, e[10] = 0, e[11] = 0;
        if (tag == TIFFTAG_TILEWIDTH)
            e[8] = 12, e[9] = 0, e[10] = 0, e[11] = 0;
    }
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    TIFFSetWarningHandler(nullptr);
    TIFF *patched = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(patched, nullptr);
    uint32_t tileWidth = 0;
    TIFFGetField(patched, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFClose(patched);
    ASSERT_EQ(tileWidth, 12u);
    ASSERT_EQ(testsupport::Run("convert " + path + " ppm:" + ref + " 2>/dev/null"), 0);
    const RgbPicture expected = ReadPnm(ref);
    ASSERT_EQ(expected.width, width);
    Opened o(path);
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(o.depth(), 1);
    EXPECT_EQ(FirstDifference(RasterToRgb(o.raster), expected), "");
}

} // namespace
