// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-built PCX, TGA, IFF and GIF files for what the netpbm and ImageMagick encoders
// never write: runs crossing scan lines, truncated run data, the TGA origins and
// colour-map first index, out-of-range indices, EHB, mask planes, PBM bodies and a GIF
// frame smaller than its screen.
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Opened : testsupport::OpenedBytes {
    using OpenedBytes::OpenedBytes;
    // Colour of (x, y) as R + 256 G + 65536 B through the palette when indexed.
    uint32_t colour(int x, int y) const
    {
        const uint32_t v = getpixel(raster, x, y);
        if (RasterBitCount(raster) == 24)
            return v;
        const PALETTEENTRY &e = raster.Palette.palPalEntry[v];
        return e.peRed | e.peGreen << 8 | e.peBlue << 16;
    }
};

void Le16(Bytes &b, size_t at, int v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

Bytes PcxHeader(int width, int height, int bits, int planes, int bytesPerLine)
{
    Bytes h(128, 0);
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = uint8_t(bits);
    Le16(h, 8, width - 1);
    Le16(h, 10, height - 1);
    h[65] = uint8_t(planes);
    Le16(h, 66, bytesPerLine);
    return h;
}

TEST(CraftedPcx, RunsCrossScanLinesAndStopAtThePictureEnd)
{
    // 8-bit, 3 x 2, 4 bytes a line: one run of 12 bytes of index 7 covers both lines,
    // then another run that would pass the end of the picture.
    Bytes f = PcxHeader(3, 2, 8, 1, 4);
    f.insert(f.end(), {0xCC, 7, 0xFF, 9});
    Opened o(f);
    ASSERT_NE(o.raster.Pixels, nullptr);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(getpixel(o.raster, x, y), 7u);
}

TEST(CraftedPcx, TruncatedRunDataLeavesTheRestAtIndexZero)
{
    Bytes f = PcxHeader(4, 3, 8, 1, 4);
    f.insert(f.end(), {0xC4, 5, 0xC2, 6});
    Opened o(f);
    ASSERT_NE(o.raster.Pixels, nullptr);
    EXPECT_EQ(RasterBitCount(o.raster), 8);
    EXPECT_EQ(getpixel(o.raster, 3, 0), 5u);
    EXPECT_EQ(getpixel(o.raster, 1, 1), 6u);
    EXPECT_EQ(getpixel(o.raster, 2, 1), 0u);
    EXPECT_EQ(getpixel(o.raster, 3, 2), 0u);
    // Without the 0x0C marker the colours are greys.
    EXPECT_EQ(o.colour(0, 0), 0x050505u);
}

TEST(CraftedPcx, RefusesScanLinesShorterThanTheWidth)
{
    Bytes f = PcxHeader(40, 2, 8, 1, 8);
    f.resize(f.size() + 100, 1);
    Opened o(f);
    EXPECT_EQ(o.raster.Pixels, nullptr);
    EXPECT_NE(RasterErrorText(o.raster).find("damaged"), std::string::npos);
}

// The grey of (x, y) of an 8-bit grey raster, through its palette.
uint32_t Grey(const Opened &o, int x, int y)
{
    return o.colour(x, y) & 255;
}

Bytes TgaHeader(int type, int width, int height, int bits, int descriptor)
{
    Bytes h(18, 0);
    h[2] = uint8_t(type);
    Le16(h, 12, width);
    Le16(h, 14, height);
    h[16] = uint8_t(bits);
    h[17] = uint8_t(descriptor);
    return h;
}

struct OriginCase {
    int descriptor;
    // Which stored pixel (0..3, in file order) lands at top-left, top-right,
    // bottom-left, bottom-right.
    int at[4];
};

class TgaOrigins : public ::testing::TestWithParam<OriginCase> {};

TEST_P(TgaOrigins, PlaceTheStoredPixels)
{
    Bytes f = TgaHeader(3, 2, 2, 8, GetParam().descriptor);
    f.insert(f.end(), {10, 20, 30, 40});
    Opened o(f);
    ASSERT_NE(o.raster.Pixels, nullptr);
    const int values[4] = {10, 20, 30, 40};
    const int *at = GetParam().at;
    EXPECT_EQ(getpixel(o.raster, 0, 0), uint32_t(values[at[0]]));
    EXPECT_EQ(getpixel(o.raster, 1, 0), uint32_t(values[at[1]]));
    EXPECT_EQ(getpixel(o.raster, 0, 1), uint32_t(values[at[2]]));
    EXPECT_EQ(getpixel(o.raster, 1, 1), uint32_t(values[at[3]]));
}

INSTANTIATE_TEST_SUITE_P(Crafted, TgaOrigins,
                         ::testing::Values(OriginCase{0x00, {2, 3, 0, 1}},
                                           OriginCase{0x20, {0, 1, 2, 3}},
                                           OriginCase{0x10, {3, 2, 1, 0}},
                                           OriginCase{0x30, {1, 0, 3, 2}}));

TEST(CraftedTga, ColourMapFirstIndexAndOutOfRangeIndicesAreClamped)
{
    // Map entries 4 and 5 (16-bit), pixels 4, 5, 9 (past the map) and 0 (before it).
    Bytes f = TgaHeader(1, 4, 1, 8, 0x20);
    f[1] = 1;
    Le16(f, 3, 4);
    Le16(f, 5, 2);
    f[7] = 16;
    f.insert(f.end(), {0x00, 0x7C, 0x1F, 0x00}); // red, blue
    f.insert(f.end(), {4, 5, 9, 0});
    Opened o(f);
    ASSERT_NE(o.raster.Pixels, nullptr);
    EXPECT_EQ(o.colour(0, 0), 0x0000FFu);
    EXPECT_EQ(o.colour(1, 0), 0xFF0000u);
    EXPECT_EQ(getpixel(o.raster, 2, 0), 5u);
    EXPECT_EQ(getpixel(o.raster, 3, 0), 4u);
}

TEST(CraftedTga, RunPacketsMayCrossRowsButStopAtTheEnd)
{
    // RLE true colour 2 x 2: one run of 3 pixels, then a raw packet claiming 5 pixels.
    Bytes f = TgaHeader(10, 2, 2, 24, 0x20);
    f.insert(f.end(), {0x82, 1, 2, 3, 0x04, 9, 8, 7, 6, 5, 4});
    Opened o(f);
    ASSERT_NE(o.raster.Pixels, nullptr);
    EXPECT_EQ(o.colour(0, 0), 0x010203u);
    EXPECT_EQ(o.colour(0, 1), 0x010203u);
    EXPECT_EQ(o.colour(1, 1), 0x090807u);
}

TEST(CraftedTga, GreyWithAlphaKeepsTheGreyAndDropsTheAlpha)
{
    // No encoder at hand writes 16-bit grey TGA (ImageMagick and netpbm read it as
    // 5-5-5 colour): grey then alpha per pixel, raw and run-length encoded.
    Bytes raw = TgaHeader(3, 3, 2, 16, 0x28);
    raw.insert(raw.end(), {10, 255, 20, 0, 30, 128, 40, 1, 50, 2, 60, 3});
    Opened r(raw);
    ASSERT_NE(r.raster.Pixels, nullptr) << RasterErrorText(r.raster);
    EXPECT_EQ(RasterBitCount(r.raster), 8);
    const uint32_t expected[2][3] = {{10, 20, 30}, {40, 50, 60}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Grey(r, x, y), expected[y][x]) << x << "," << y;

    // Bottom-left origin: a run of 4 pixels of grey 7, then 2 raw pixels.
    Bytes rle = TgaHeader(11, 3, 2, 16, 0x08);
    rle.insert(rle.end(), {0x83, 7, 99, 0x01, 8, 0, 9, 0});
    Opened c(rle);
    ASSERT_NE(c.raster.Pixels, nullptr) << RasterErrorText(c.raster);
    EXPECT_EQ(Grey(c, 0, 1), 7u);
    EXPECT_EQ(Grey(c, 0, 0), 7u);
    EXPECT_EQ(Grey(c, 1, 0), 8u);
    EXPECT_EQ(Grey(c, 2, 0), 9u);
}

TEST(CraftedTga, ImplausibleHeadersAreNotTakenForTga)
{
    for (const Bytes &f : {TgaHeader(4, 2, 2, 8, 0), TgaHeader(2, 2, 2, 12, 0),
                           TgaHeader(3, 0, 2, 8, 0), TgaHeader(2, 2, 2, 24, 0xC0)}) {
        Bytes padded = f;
        padded.resize(64, 0);
        Opened o(padded);
        EXPECT_EQ(o.raster.Pixels, nullptr);
        EXPECT_EQ(RasterErrorText(o.raster), "Unknown picture format");
    }
}

// Byte by byte: g++ 12 at -O3 misreads a four-byte range insert as out of bounds.
void AppendTag(Bytes &f, const char *tag)
{
    for (int i = 0; i < 4; ++i)
        f.push_back(uint8_t(tag[i]));
}

void Chunk(Bytes &f, const char *id, const Bytes &data)
{
    AppendTag(f, id);
    const size_t n = data.size();
    f.insert(f.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    f.insert(f.end(), data.begin(), data.end());
    if (n & 1)
        f.push_back(0);
}

Bytes Iff(const char *type, int width, int height, int planes, int masking, int compression,
          const Bytes &cmap, uint32_t camg, const Bytes &body, const char *mapId = "CMAP")
{
    Bytes f = {'F', 'O', 'R', 'M', 0, 0, 0, 0};
    AppendTag(f, type);
    Chunk(f, "BMHD",
          {0,
           uint8_t(width),
           0,
           uint8_t(height),
           0,
           0,
           0,
           0,
           uint8_t(planes),
           uint8_t(masking),
           uint8_t(compression),
           0,
           0,
           0,
           1,
           1,
           0,
           0,
           0,
           0});
    if (!cmap.empty())
        Chunk(f, mapId, cmap);
    if (camg)
        Chunk(f, "CAMG",
              {uint8_t(camg >> 24), uint8_t(camg >> 16), uint8_t(camg >> 8), uint8_t(camg)});
    Chunk(f, "BODY", body);
    const size_t n = f.size() - 8;
    f[4] = uint8_t(n >> 24);
    f[5] = uint8_t(n >> 16);
    f[6] = uint8_t(n >> 8);
    f[7] = uint8_t(n);
    return f;
}

TEST(CraftedIff, ExtraHalfBriteUsesHalvedColoursAndMaskPlaneIsSkipped)
{
    // 6 planes + mask, 1 pixel wide: value 33 (planes 0 and 5) is colour 1 halved.
    Bytes cmap(32 * 3, 0);
    cmap[3] = 200, cmap[4] = 100, cmap[5] = 51;
    Bytes body;
    for (int p = 0; p < 7; ++p) {
        const bool set = p == 0 || p == 5 || p == 6; // plane 6 is the mask
        body.insert(body.end(), {uint8_t(set ? 0x80 : 0), 0});
    }
    Opened o(Iff("ILBM", 1, 1, 6, 1, 0, cmap, 0x80, body));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(RasterBitCount(o.raster), 8);
    EXPECT_EQ(getpixel(o.raster, 0, 0), 33u);
    EXPECT_EQ(o.colour(0, 0), 100u | 50u << 8 | 25u << 16);
}

TEST(CraftedIff, PbmChunkyRowsWithByteRunAndClampedIndices)
{
    // 3 x 2 chunky, rows padded to 4 bytes; a run of 8 bytes covers both rows.
    const Bytes cmap = {0, 0, 0, 10, 20, 30};
    Opened o(Iff("PBM ", 3, 2, 8, 0, 1, cmap, 0, {0xF9, 1, 0x80}));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(o.colour(2, 1), 0x1E140Au);
    Opened clamped(Iff("PBM ", 1, 1, 8, 0, 0, cmap, 0, {200, 0}));
    ASSERT_NE(clamped.raster.Pixels, nullptr);
    EXPECT_EQ(getpixel(clamped.raster, 0, 0), 1u);
}

TEST(CraftedIff, CmykMapBecomesInksTimesBlackAndNoMapGreySteps)
{
    // 2 planes, 4 x 1, indices 0, 1, 2, 3 (plane 0 bits 0101, plane 1 bits 0011).
    const Bytes body = {0x50, 0, 0x30, 0};
    const Bytes cmyk = {0, 0, 0, 0, 255, 0, 0, 0, 10, 20, 30, 40, 0, 128, 255, 100};
    Opened o(Iff("ILBM", 4, 1, 2, 0, 0, cmyk, 0, body, "CMYK"));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(RasterBitCount(o.raster), 4);
    for (uint32_t x = 0; x < 4; ++x) {
        const uint8_t *c = &cmyk[4 * x];
        auto ink = [&](int i) { return uint32_t((255 - c[i]) * (255 - c[3]) / 255); };
        EXPECT_EQ(getpixel(o.raster, int(x), 0), x);
        EXPECT_EQ(o.colour(int(x), 0), ink(0) | ink(1) << 8 | ink(2) << 16) << x;
    }
    EXPECT_EQ(o.colour(2, 0), 206u | 198u << 8 | 189u << 16);
    Opened grey(Iff("ILBM", 4, 1, 2, 0, 0, {}, 0, body));
    ASSERT_NE(grey.raster.Pixels, nullptr) << RasterErrorText(grey.raster);
    EXPECT_EQ(grey.colour(1, 0), 0x555555u);
    EXPECT_EQ(grey.colour(3, 0), 0xFFFFFFu);
}

TEST(CraftedIff, HamWithUnsupportedPlaneCountIsRefused)
{
    Opened o(Iff("ILBM", 2, 1, 5, 0, 0, Bytes(48, 0), 0x800, Bytes(10, 0)));
    EXPECT_EQ(o.raster.Pixels, nullptr);
    EXPECT_NE(RasterErrorText(o.raster).find("HAM"), std::string::npos);
}

int WriteToVector(GifFileType *gif, const GifByteType *data, int n)
{
    auto *out = static_cast<Bytes *>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

// A GIF with a 4 x 3 screen (background index 2) and a 2 x 1 frame at (1, 1).
Bytes SmallFrameGif(const std::vector<GifPixelType> &frame)
{
    Bytes out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, WriteToVector, &error);
    ColorMapObject *map = GifMakeMapObject(4, nullptr);
    for (int i = 0; i < 4; ++i)
        map->Colors[i] = GifColorType{uint8_t(i * 10), uint8_t(i * 20), uint8_t(i * 30)};
    EGifPutScreenDesc(gif, 4, 3, 2, 2, map);
    EGifPutImageDesc(gif, 1, 1, 2, 1, false, nullptr);
    std::vector<GifPixelType> line = frame;
    EGifPutLine(gif, line.data(), 2);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

TEST(CraftedGif, SmallFrameSitsOnTheBackgroundColour)
{
    Opened o(SmallFrameGif({1, 3}));
    ASSERT_NE(o.raster.Pixels, nullptr) << RasterErrorText(o.raster);
    EXPECT_EQ(RasterWidth(o.raster), 4);
    EXPECT_EQ(RasterHeight(o.raster), 3);
    EXPECT_EQ(getpixel(o.raster, 0, 0), 2u);
    EXPECT_EQ(getpixel(o.raster, 1, 1), 1u);
    EXPECT_EQ(getpixel(o.raster, 2, 1), 3u);
    EXPECT_EQ(getpixel(o.raster, 3, 2), 2u);
    EXPECT_EQ(o.colour(2, 1), 30u | 60u << 8 | 90u << 16);
}

} // namespace
