// SPDX-License-Identifier: GPL-3.0-or-later
// Files made to hurt the BMP, PNG and JPEG readers: absurd sizes, broken headers,
// truncation at many lengths and random byte damage. Every result must be either a
// whole raster or a null one with a readable text; nothing may crash or hang.
#include "platform/rastix/Rastix.h"
#include "support/BmpBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace testsupport;

namespace {

const char *const kRefusals[] = {"The picture is damaged: ", "The picture is too large: ",
                                 "There is not enough memory", "Unknown picture format"};

// Empty when the result is acceptable for any input, else what is wrong with it.
std::string CheckSane(const RasterImage &raster)
{
    if (!raster.Pixels) {
        const std::string text = RasterErrorText(raster);
        for (const char *prefix : kRefusals)
            if (text.starts_with(prefix) && text.size() > 5)
                return {};
        // A valid file of a kind not read, named.
        if (text.ends_with(" is not supported") && text.size() > 20)
            return {};
        return "failed with the text \"" + text + "\"";
    }
    const int bits = RasterBitCount(raster);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return "depth " + std::to_string(bits);
    if (RasterWidth(raster) <= 0 || RasterHeight(raster) <= 0 || raster.Stride % 4 != 0)
        return "bad shape";
    return {};
}

RasterImage Open(const std::vector<uint8_t> &bytes)
{
    return OpenDibMemory(bytes.data(), bytes.size());
}

// A BMP file header plus a 40-byte header declaring width x height at 24 bits, and
// no pixels: 54 bytes.
std::vector<uint8_t> BareBmpHeader(int32_t width, int32_t height)
{
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bits = 24;
    return MakeBmp(layout);
}

// A PNG signature and IHDR chunk for width x height, 8-bit RGB; no image data.
std::vector<uint8_t> PngHeaderOnly(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n',
                              0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    for (uint32_t v : {width, height})
        for (int s = 24; s >= 0; s -= 8)
            b.push_back(uint8_t(v >> s));
    b.insert(b.end(), {8, 2, 0, 0, 0, 0, 0, 0, 0}); // depth, type, methods, (bad) CRC
    return b;
}

// A JPEG start with a baseline frame header for width x height, three components.
std::vector<uint8_t> JpegHeaderOnly(uint16_t width, uint16_t height)
{
    return {0xff,
            0xd8,
            0xff,
            0xc0,
            0,
            17,
            8,
            uint8_t(height >> 8),
            uint8_t(height),
            uint8_t(width >> 8),
            uint8_t(width),
            3,
            1,
            0x22,
            0,
            2,
            0x11,
            1,
            3,
            0x11,
            1,
            0xff,
            0xda,
            0,
            12,
            3,
            1,
            0,
            2,
            0x11,
            3,
            0x11,
            0,
            63,
            0};
}

struct SizeRefusal {
    const char *name;
    std::vector<uint8_t> bytes;
    const char *text; // the whole expected text, or its start when it ends in "..."
};

class TooLarge : public testing::TestWithParam<SizeRefusal> {};

TEST_P(TooLarge, IsRefusedBeforeAnythingIsAllocated)
{
    const SizeRefusal &c = GetParam();
    const RasterImage raster = Open(c.bytes);
    EXPECT_EQ(raster.Pixels, nullptr);
    EXPECT_EQ(raster.Storage, 0u);
    std::string expected = c.text;
    const std::string text = RasterErrorText(raster);
    if (expected.ends_with("...")) {
        expected.resize(expected.size() - 3);
        EXPECT_TRUE(text.starts_with(expected)) << text;
    } else {
        EXPECT_EQ(text, expected);
    }
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, TooLarge,
    testing::Values(
        SizeRefusal{"bmp100000", BareBmpHeader(100000, 100000),
                    "The picture is too large: 100000 x 100000 pixels (at most 32767 pixels a "
                    "side and 120 million pixels)"},
        SizeRefusal{"bmpTopDown100000", BareBmpHeader(100000, -100000),
                    "The picture is too large: 100000 x 100000 pixels..."},
        SizeRefusal{"bmpMostNegativeHeight", BareBmpHeader(10, INT32_MIN),
                    "The picture is too large: 10 x 2147483648 pixels..."},
        SizeRefusal{"bmpPixelCount", BareBmpHeader(32767, 32767),
                    "The picture is too large: 32767 x 32767 pixels..."},
        SizeRefusal{"bmpZeroWidth", BareBmpHeader(0, 10), "The picture is damaged: ..."},
        SizeRefusal{"bmpNegativeWidth", BareBmpHeader(-5, 10), "The picture is damaged: ..."},
        SizeRefusal{"png100000", PngHeaderOnly(100000, 100000),
                    "The picture is too large: 100000 x 100000 pixels..."},
        SizeRefusal{"pngWide", PngHeaderOnly(40000, 1),
                    "The picture is too large: 40000 x 1 pixels..."},
        SizeRefusal{"pngPixelCount", PngHeaderOnly(20000, 20000),
                    "The picture is too large: 20000 x 20000 pixels..."},
        SizeRefusal{"pngHugeUnsigned", PngHeaderOnly(0xffffffffu, 1),
                    "The picture is too large: 4294967295 x 1 pixels..."},
        SizeRefusal{"jpeg60000", JpegHeaderOnly(60000, 60000),
                    "The picture is too large: 60000 x 60000 pixels..."},
        SizeRefusal{"jpegPixelCount", JpegHeaderOnly(20000, 20000),
                    "The picture is too large: 20000 x 20000 pixels..."}),
    [](const auto &p) { return std::string(p.param.name); });

struct BrokenBmp {
    const char *name;
    BmpLayout layout;
    bool opens; // a sound reading exists (the rest must fail with a text)
};

BmpLayout Layout(uint32_t headerSize, int32_t w, int32_t h, uint16_t bits, uint32_t compression,
                 std::vector<uint32_t> palette, std::vector<uint8_t> pixels,
                 uint32_t colourCount = 0)
{
    BmpLayout s;
    s.headerSize = headerSize;
    s.width = w;
    s.height = h;
    s.bits = bits;
    s.compression = compression;
    s.palette = std::move(palette);
    s.pixels = std::move(pixels);
    s.colourCount = colourCount;
    return s;
}

class HostileBmp : public testing::TestWithParam<BrokenBmp> {};

TEST_P(HostileBmp, FailsWithATextOrReadsSoundly)
{
    const BrokenBmp &c = GetParam();
    RasterImage raster = Open(MakeBmp(c.layout));
    EXPECT_EQ(CheckSane(raster), "");
    EXPECT_EQ(raster.Pixels != nullptr, c.opens) << RasterErrorText(raster);
    deldib(raster);
}

const std::vector<uint32_t> kTwo = {0, 0xffffff};
INSTANTIATE_TEST_SUITE_P(
    Headers, HostileBmp,
    testing::Values(
        BrokenBmp{"headerSize200", Layout(200, 1, 1, 24, 0, {}, {1, 2, 3, 0}), false},
        BrokenBmp{"headerSize8", Layout(8, 1, 1, 24, 0, {}, {1, 2, 3, 0}), false},
        BrokenBmp{"threeBits", Layout(40, 1, 1, 3, 0, {}, {0, 0, 0, 0}), false},
        BrokenBmp{"rle8On24Bits", Layout(40, 1, 1, 24, 1, {}, {0, 0, 0, 1}), false},
        BrokenBmp{"rle4On8Bits", Layout(40, 1, 1, 8, 2, kTwo, {0, 0, 0, 1}), false},
        BrokenBmp{"bitfieldsOn8Bits", Layout(40, 1, 1, 8, 3, kTwo, {0, 0, 0, 0}), false},
        BrokenBmp{"embeddedJpeg", Layout(40, 1, 1, 24, 4, {}, {0xff, 0xd8, 0xff, 0}), false},
        BrokenBmp{"bitfieldsWithoutMasks", Layout(40, 1, 1, 16, 3, {}, {}), false},
        BrokenBmp{"noPixelData", Layout(40, 4, 4, 24, 0, {}, {}), false},
        BrokenBmp{"lastRowShort", Layout(40, 4, 2, 24, 0, {}, std::vector<uint8_t>(12 + 11)),
                  false},
        BrokenBmp{"lastRowWithoutPadding", Layout(40, 3, 2, 24, 0, {}, std::vector<uint8_t>(21)),
                  true},
        BrokenBmp{"noPalette", Layout(40, 2, 1, 8, 0, {}, {0, 0, 0, 0}), false},
        BrokenBmp{"hugeColourCount", Layout(40, 2, 1, 8, 0, kTwo, {1, 1, 0, 0}, 100000), true},
        BrokenBmp{"rleEndsInsideRun", Layout(40, 8, 1, 8, 1, kTwo, {0, 6, 1, 1}), false},
        BrokenBmp{"rleEndsInsideDelta", Layout(40, 8, 1, 8, 1, kTwo, {0, 2, 1}), false},
        BrokenBmp{"rleStopsEarly", Layout(40, 8, 4, 8, 1, kTwo, {2, 1, 0, 0}), false},
        BrokenBmp{"rleHugeDelta", Layout(40, 8, 4, 8, 1, kTwo, {0, 2, 255, 255, 9, 1, 0, 1}), true},
        BrokenBmp{"rleLongRunsEverywhere",
                  Layout(40, 3, 2, 8, 1, kTwo, {255, 1, 255, 1, 0, 0, 255, 1, 0, 0, 255, 1}), true},
        BrokenBmp{"rle4AbsoluteRunPastRow",
                  Layout(40, 3, 1, 4, 2, kTwo, {0, 9, 0x11, 0x11, 0x11, 0x11, 0x10, 0, 0, 1}),
                  true}),
    [](const auto &p) { return std::string(p.param.name); });

// Valid files from the encoders, to be damaged below.
class DamagedFiles : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        files_ = new std::vector<std::pair<std::string, std::vector<uint8_t>>>;
        TempDir dir;
        const std::string ppm = dir.file("in.ppm"), out = dir.file("out");
        WritePpm(ppm, PatternPicture(23, 17));
        const std::pair<const char *, const char *> makers[] = {
            {"bmp24", "ppmtobmp -bpp 24 {in} > {out}"},
            {"bmp8", "pnmquant 40 {in} | ppmtobmp -bpp 8 > {out}"},
            {"bmpRle8", "convert {in} -colors 40 -type palette -compress RLE BMP3:{out}"},
            {"png", "pnmtopng -force {in} > {out}"},
            {"pngInterlacedPalette", "pnmquant 40 {in} | pnmtopng -interlace > {out}"},
            {"jpeg", "cjpeg {in} > {out}"},
            {"jpegProgressive", "cjpeg -progressive {in} > {out}"},
        };
        for (const auto &[name, command] : makers) {
            const std::string filled = FillCommand(command, ppm, out);
            if (testsupport::Run("(" + filled + ") 2>/dev/null") == 0)
                files_->push_back({name, ReadFileBytes(out)});
        }
        BmpLayout rle4 = Layout(40, 7, 3, 4, 2, kTwo,
                                {3, 0x10, 0, 0, 0, 5, 0x10, 0x10, 0x10, 0, 0, 0, 7, 0x01, 0, 1});
        files_->push_back({"bmpRle4", MakeBmp(rle4)});
    }
    static void TearDownTestSuite()
    {
        delete files_;
        files_ = nullptr;
    }
    static std::vector<std::pair<std::string, std::vector<uint8_t>>> *files_;
};

std::vector<std::pair<std::string, std::vector<uint8_t>>> *DamagedFiles::files_ = nullptr;

TEST_F(DamagedFiles, TheUndamagedFilesOpen)
{
    ASSERT_GE(files_->size(), 2u);
    for (const auto &[name, bytes] : *files_) {
        RasterImage raster = Open(bytes);
        EXPECT_NE(raster.Pixels, nullptr) << name << ": " << RasterErrorText(raster);
        deldib(raster);
    }
}

TEST_F(DamagedFiles, TruncationAtEveryLengthOfTheHeadAndSomeLater)
{
    for (const auto &[name, bytes] : *files_) {
        std::vector<size_t> lengths;
        for (size_t n = 0; n < std::min<size_t>(bytes.size(), 300); ++n)
            lengths.push_back(n);
        for (size_t k = 1; k < 16; ++k)
            lengths.push_back(bytes.size() * k / 16);
        lengths.push_back(bytes.size() - 1);
        for (const size_t n : lengths) {
            const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(n));
            RasterImage raster = OpenDibMemory(n ? cut.data() : nullptr, n);
            ASSERT_EQ(CheckSane(raster), "") << name << " cut to " << n;
            deldib(raster);
        }
    }
}

TEST_F(DamagedFiles, TruncatedBmpPixelDataIsRefused)
{
    for (const auto &[name, bytes] : *files_) {
        if (name != "bmp24" && name != "bmp8")
            continue;
        const std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 40);
        const RasterImage raster = Open(cut);
        EXPECT_EQ(raster.Pixels, nullptr) << name;
        EXPECT_TRUE(RasterErrorText(raster).starts_with("The picture is damaged: ")) << name;
    }
}

TEST_F(DamagedFiles, RandomByteDamage)
{
    std::mt19937 random(20240611);
    for (const auto &[name, bytes] : *files_) {
        for (int round = 0; round < 300; ++round) {
            std::vector<uint8_t> damaged = bytes;
            const int hits = 1 + int(random() % 8);
            for (int i = 0; i < hits; ++i) {
                // Mostly in the first 100 bytes, where the headers are.
                const size_t span =
                    random() % 2 ? std::min<size_t>(100, damaged.size()) : damaged.size();
                damaged[random() % span] = uint8_t(random());
            }
            RasterImage raster = Open(damaged);
            ASSERT_EQ(CheckSane(raster), "") << name << " round " << round;
            deldib(raster);
        }
    }
}

TEST(OpenDibTexts, SayWhatWentWrong)
{
    TempDir dir;
    const std::string empty = dir.file("empty.bmp"), text = dir.file("notes.txt");
    WriteFileBytes(empty, {});
    WriteFileBytes(text, {'h', 'e', 'l', 'l', 'o', '\n'});
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("missing.bmp"), "The file could not be opened: "},
        {dir.path().string(), "The file could not be opened: "},
        {"", "The file could not be opened: "},
        {empty, "The picture is damaged: "},
        {text, "Unknown picture format"},
    };
    for (const auto &[path, start] : cases) {
        const RasterImage raster = OpenDib(path.c_str());
        EXPECT_EQ(raster.Pixels, nullptr) << path;
        const std::string message = RasterErrorText(raster);
        EXPECT_TRUE(message.starts_with(start)) << path << ": " << message;
        EXPECT_GT(message.size(), 5u) << path;
    }
    EXPECT_TRUE(RasterErrorText(OpenDib(nullptr)).starts_with("The file could not be opened"));
}

} // namespace
