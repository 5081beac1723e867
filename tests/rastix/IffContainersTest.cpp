// SPDX-License-Identifier: GPL-3.0-or-later
// ILBM files from netpbm's ppmtoilbm, rearranged at test time into what other Amiga
// programs write: palette changes per line (a PCHG chunk of 12- or 32-bit changes), the
// picture inside LIST (with its properties in a PROP) and CAT containers, and ACBM
// (each plane whole in an ABIT chunk). Each must show as netpbm's ilbmtoppm shows the
// file (PCHG) or the original FORM (the rearrangements).
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

using Bytes = std::vector<uint8_t>;

struct Chunk {
    std::string id;
    Bytes data;
};

uint32_t Be32At(const Bytes &b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// The chunks of a FORM.
std::vector<Chunk> ChunksOf(const Bytes &form)
{
    std::vector<Chunk> chunks;
    for (size_t pos = 12; pos + 8 <= form.size();) {
        const size_t n = Be32At(form, pos + 4);
        chunks.push_back({std::string(form.begin() + long(pos), form.begin() + long(pos + 4)),
                          Bytes(form.begin() + long(pos + 8), form.begin() + long(pos + 8 + n))});
        pos += 8 + n + (n & 1);
    }
    return chunks;
}

void Put32(Bytes &b, uint32_t v)
{
    b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

void Put16(Bytes &b, unsigned v)
{
    b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
}

Bytes Wrap(const std::string &id, const Bytes &data)
{
    Bytes b(id.begin(), id.end());
    Put32(b, uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1)
        b.push_back(0);
    return b;
}

// A group chunk (FORM, PROP, LIST, CAT) of the given type holding the parts.
Bytes Group(const std::string &id, const std::string &type, const std::vector<Bytes> &parts)
{
    Bytes data(type.begin(), type.end());
    for (const Bytes &p : parts)
        data.insert(data.end(), p.begin(), p.end());
    return Wrap(id, data);
}

Bytes ChunkBytes(const Chunk &c)
{
    return Wrap(c.id, c.data);
}

struct Change {
    int line, reg, r, g, b;
};

// An uncompressed PCHG chunk's data with the changes, lines from startLine on.
Bytes Pchg(bool twelveBit, int startLine, int lineCount, const std::vector<Change> &changes)
{
    Bytes mask(size_t((lineCount + 31) / 32 * 4), 0);
    Bytes lines;
    unsigned changedLines = 0, maxReg = 0, maxChanges = 0;
    for (int i = 0; i < lineCount; ++i) {
        std::vector<Change> here;
        for (const Change &c : changes)
            if (c.line == startLine + i)
                here.push_back(c);
        if (here.empty())
            continue;
        ++changedLines;
        maxChanges = std::max(maxChanges, unsigned(here.size()));
        for (const Change &c : here)
            maxReg = std::max(maxReg, unsigned(c.reg));
        mask[size_t(i / 8)] |= uint8_t(0x80 >> (i % 8));
        if (twelveBit) {
            int low = 0;
            for (const Change &c : here)
                low += c.reg < 16;
            lines.insert(lines.end(), {uint8_t(low), uint8_t(here.size() - size_t(low))});
            for (bool high : {false, true})
                for (const Change &c : here)
                    if ((c.reg >= 16) == high)
                        Put16(lines, unsigned((c.reg & 15) << 12 | (c.r >> 4) << 8 | (c.g >> 4) << 4
                                              | c.b >> 4));
        } else {
            Put16(lines, unsigned(here.size()));
            for (const Change &c : here) {
                Put16(lines, unsigned(c.reg));
                lines.insert(lines.end(), {0, uint8_t(c.r), uint8_t(c.b), uint8_t(c.g)});
            }
        }
    }
    Bytes b;
    Put16(b, 0); // no compression
    Put16(b, twelveBit ? 1 : 2);
    Put16(b, unsigned(startLine) & 0xFFFF);
    Put16(b, unsigned(lineCount));
    Put16(b, changedLines);
    Put16(b, 0);
    Put16(b, maxReg);
    Put16(b, maxChanges);
    Put32(b, uint32_t(changes.size()));
    b.insert(b.end(), mask.begin(), mask.end());
    b.insert(b.end(), lines.begin(), lines.end());
    return b;
}

struct Picture {
    TempDir dir;
    Bytes form;
    std::vector<Chunk> chunks;
    bool ok = false;
    explicit Picture(const std::string &options)
    {
        const std::string in = dir.file("in.ppm"), out = dir.file("in.lbm");
        if (!WritePpm(in, PatternPicture(37, 23))
            || testsupport::Run("pnmquant 16 " + in + " 2>/dev/null | ppmtoilbm " + options + " > "
                                + out + " 2>/dev/null")
                   != 0)
            return;
        form = ReadFileBytes(out);
        chunks = ChunksOf(form);
        ok = !chunks.empty();
    }
    // ilbmtoppm's picture of the bytes.
    RgbPicture Netpbm(const Bytes &file) const
    {
        const std::string path = dir.file("netpbm.lbm"), ref = dir.file("netpbm.ppm");
        if (!WriteFileBytes(path, file)
            || testsupport::Run("ilbmtoppm " + path + " > " + ref + " 2>/dev/null") != 0)
            return {};
        return ReadPnm(ref);
    }
};

RgbPicture Open(const Bytes &file, int &depth)
{
    const RasterImage raster = OpenDibMemory(file.data(), file.size());
    EXPECT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    depth = RasterBitCount(raster);
    RgbPicture picture = RasterToRgb(raster);
    deldib(raster);
    return picture;
}

bool HaveNetpbm()
{
    return HaveTool("ppmtoilbm") && HaveTool("ilbmtoppm") && HaveTool("pnmquant");
}

const std::vector<Change> kChanges = {
    {0, 0, 255, 255, 255}, {2, 0, 255, 0, 0},     {2, 3, 0, 255, 0},   {5, 1, 0, 0, 255},
    {10, 0, 16, 32, 48},   {10, 15, 240, 128, 0}, {22, 7, 160, 96, 32}};

class IlbmPaletteChanges : public testing::TestWithParam<bool> {};

TEST_P(IlbmPaletteChanges, ShowEachLineWithItsRegistersAsNetpbmDoes)
{
    if (!HaveNetpbm())
        GTEST_SKIP() << "netpbm is missing";
    Picture p("");
    ASSERT_TRUE(p.ok);
    std::vector<Bytes> parts;
    for (const Chunk &c : p.chunks) {
        if (c.id == "BODY")
            parts.push_back(Wrap("PCHG", Pchg(GetParam(), 0, 23, kChanges)));
        parts.push_back(ChunkBytes(c));
    }
    const Bytes file = Group("FORM", "ILBM", parts);
    const RgbPicture expected = p.Netpbm(file);
    ASSERT_EQ(expected.width, 37);
    int depth = 0;
    EXPECT_EQ(FirstDifference(Open(file, depth), expected), "");
    EXPECT_EQ(depth, 24);
    // The changes are really shown: the first line differs from the file without them.
    EXPECT_NE(FirstDifference(expected, p.Netpbm(p.form)), "");
}

INSTANTIATE_TEST_SUITE_P(Netpbm, IlbmPaletteChanges, testing::Bool(),
                         [](const auto &p) { return p.param ? "12bit" : "32bit"; });

TEST(IlbmPaletteChanges, ChangesBeforeTheFirstLineApplyFromItAndHuffmanIsRefusedByName)
{
    // One plane, 2 x 2, every pixel index 1; registers change at line -1 and line 1.
    const Bytes bmhd = {0, 2, 0, 2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 2, 0, 2};
    const Bytes cmap = {0, 0, 0, 10, 20, 30};
    const Bytes body = {0xC0, 0, 0xC0, 0};
    const Bytes pchg = Pchg(false, -1, 3, {{-1, 1, 200, 100, 50}, {1, 1, 1, 2, 3}});
    const Bytes file =
        Group("FORM", "ILBM",
              {Wrap("BMHD", bmhd), Wrap("CMAP", cmap), Wrap("PCHG", pchg), Wrap("BODY", body)});
    int depth = 0;
    const RgbPicture got = Open(file, depth);
    ASSERT_EQ(got.width, 2);
    EXPECT_EQ(depth, 24);
    EXPECT_EQ(got.r(0, 0), 200);
    EXPECT_EQ(got.b(1, 0), 50);
    EXPECT_EQ(got.g(1, 1), 2);

    Bytes huffman = pchg;
    huffman[1] = 1;
    const Bytes refused =
        Group("FORM", "ILBM",
              {Wrap("BMHD", bmhd), Wrap("CMAP", cmap), Wrap("PCHG", huffman), Wrap("BODY", body)});
    const RasterImage raster = OpenDibMemory(refused.data(), refused.size());
    EXPECT_EQ(raster.Pixels, nullptr);
    EXPECT_EQ(RasterErrorText(raster),
              "IFF PCHG palette changes with Huffman compression are not supported");
}

// The colour map as a CMYK chunk instead of CMAP, inks and black varied per colour;
// netpbm's ilbmtoppm reads such a chunk too (rounding its products up where this
// decoder truncates them, hence the tolerance of 1). With both chunks CMAP counts.
TEST(IlbmColourMaps, CmykChunkWithoutCmapShowsAsNetpbmDoes)
{
    if (!HaveNetpbm())
        GTEST_SKIP() << "netpbm is missing";
    Picture p("");
    ASSERT_TRUE(p.ok);
    Bytes cmyk;
    for (const Chunk &c : p.chunks) {
        if (c.id != "CMAP")
            continue;
        for (size_t i = 0; i + 2 < c.data.size(); i += 3) {
            const uint8_t black = uint8_t(i * 29 % 90);
            for (size_t k = 0; k < 3; ++k)
                cmyk.push_back(uint8_t(std::max(0, 255 - c.data[i + k] - black / 2)));
            cmyk.push_back(black);
        }
    }
    ASSERT_FALSE(cmyk.empty());
    std::vector<Bytes> withCmyk, withBoth;
    for (const Chunk &c : p.chunks) {
        if (c.id == "BODY")
            withBoth.push_back(Wrap("CMYK", cmyk));
        withCmyk.push_back(c.id == "CMAP" ? Wrap("CMYK", cmyk) : ChunkBytes(c));
        withBoth.push_back(ChunkBytes(c));
    }
    const Bytes file = Group("FORM", "ILBM", withCmyk);
    const RgbPicture expected = p.Netpbm(file);
    ASSERT_EQ(expected.width, 37);
    int depth = 0;
    EXPECT_EQ(FirstDifference(Open(file, depth), expected, 1), "");
    EXPECT_EQ(depth, 4);
    // The inks really differ from the CMAP's colours.
    EXPECT_NE(FirstDifference(expected, p.Netpbm(p.form), 1), "");
    EXPECT_EQ(FirstDifference(Open(Group("FORM", "ILBM", withBoth), depth), p.Netpbm(p.form)), "");
}

TEST(IffContainers, ListWithPropCatAndNestingShowTheFirstPicture)
{
    if (!HaveNetpbm())
        GTEST_SKIP() << "netpbm is missing";
    Picture p("");
    ASSERT_TRUE(p.ok);
    const RgbPicture expected = p.Netpbm(p.form);
    ASSERT_EQ(expected.width, 37);
    std::vector<Bytes> props, rest;
    for (const Chunk &c : p.chunks)
        (c.id == "BODY" ? rest : props).push_back(ChunkBytes(c));
    const Bytes sound = Group("FORM", "8SVX", {Wrap("VHDR", Bytes(20, 0))});
    const Bytes files[] = {
        Group("LIST", "ILBM", {Group("PROP", "ILBM", props), Group("FORM", "ILBM", rest)}),
        Group("CAT ", "    ", {sound, p.form}),
        Group("CAT ", "ILBM",
              {sound, Group("LIST", "ILBM",
                            {Group("PROP", "ILBM", props), sound, Group("FORM", "ILBM", rest)})}),
    };
    for (const Bytes &file : files) {
        int depth = 0;
        EXPECT_EQ(FirstDifference(Open(file, depth), expected), "");
        EXPECT_EQ(depth, 4);
    }
    const Bytes empty = Group("CAT ", "    ", {sound});
    const RasterImage raster = OpenDibMemory(empty.data(), empty.size());
    EXPECT_EQ(RasterErrorText(raster), "Unknown picture format");
}

TEST(IffContainers, AcbmPlanesStoredWholeShowLikeTheIlbm)
{
    if (!HaveNetpbm())
        GTEST_SKIP() << "netpbm is missing";
    for (const char *options : {"-cmethod none", "-cmethod none -maxplanes 8 -fixplanes 6"}) {
        SCOPED_TRACE(options);
        Picture p(options);
        ASSERT_TRUE(p.ok);
        const RgbPicture expected = p.Netpbm(p.form);
        ASSERT_EQ(expected.width, 37);
        std::vector<Bytes> parts;
        int planes = 0;
        for (const Chunk &c : p.chunks)
            if (c.id == "BMHD")
                planes = c.data[8];
        const size_t planeBytes = (37 + 15) / 16 * 2, height = 23;
        for (const Chunk &c : p.chunks) {
            if (c.id != "BODY") {
                parts.push_back(ChunkBytes(c));
                continue;
            }
            // Rows of interleaved planes to whole planes one after another.
            Bytes abit(c.data.size());
            for (size_t y = 0; y < height; ++y)
                for (size_t k = 0; k < size_t(planes); ++k)
                    std::copy_n(c.data.begin() + long((y * size_t(planes) + k) * planeBytes),
                                planeBytes, abit.begin() + long((k * height + y) * planeBytes));
            parts.push_back(Wrap("ABIT", abit));
        }
        int depth = 0;
        EXPECT_EQ(FirstDifference(Open(Group("FORM", "ACBM", parts), depth), expected), "");
        EXPECT_EQ(depth, planes <= 4 ? 4 : 8);
    }
}

} // namespace
