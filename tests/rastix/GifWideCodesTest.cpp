// SPDX-License-Identifier: GPL-3.0-or-later
// GIF files whose LZW minimum code size is above 8 bits (giflib refuses them; netpbm and
// ImageMagick read them), written at test time by a plain LZW encoder of the test's own
// (growing code widths, a full table, clear codes) and compared with netpbm's giftopnm;
// and the refusal of code sizes that cannot fit GIF's 12-bit codes.
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

using namespace testsupport;

namespace {

// LZW-compresses indices for the given minimum code size, as GIF packs codes.
std::vector<uint8_t> Lzw(const std::vector<int> &indices, int codeSize)
{
    const int clear = 1 << codeSize, end = clear + 1;
    std::vector<uint8_t> bytes;
    uint32_t bits = 0;
    int count = 0, width = codeSize + 1;
    auto put = [&](int code) {
        bits |= uint32_t(code) << count;
        count += width;
        while (count >= 8) {
            bytes.push_back(uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    std::map<std::pair<int, int>, int> table;
    int next = clear + 2;
    put(clear);
    int current = -1;
    for (int index : indices) {
        if (current < 0) {
            current = index;
            continue;
        }
        const auto found = table.find({current, index});
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        put(current);
        if (next < 4096) {
            table[{current, index}] = next++;
            if (next > (1 << width) && width < 12)
                ++width;
        } else {
            put(clear);
            table.clear();
            next = clear + 2;
            width = codeSize + 1;
        }
        current = index;
    }
    if (current >= 0)
        put(current);
    put(end);
    if (count > 0)
        bytes.push_back(uint8_t(bits));
    return bytes;
}

std::vector<uint8_t> WideGif(int width, int height, int codeSize, const std::vector<int> &indices,
                             bool interlace)
{
    std::vector<uint8_t> f = {'G',
                              'I',
                              'F',
                              '8',
                              '9',
                              'a',
                              uint8_t(width),
                              uint8_t(width >> 8),
                              uint8_t(height),
                              uint8_t(height >> 8),
                              0xF7,
                              3,
                              0};
    for (int i = 0; i < 256; ++i)
        f.insert(f.end(), {uint8_t(i), uint8_t(i * 7), uint8_t(255 - i)});
    f.insert(f.end(), {0x2C, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8), uint8_t(height),
                       uint8_t(height >> 8), uint8_t(interlace ? 0x40 : 0), uint8_t(codeSize)});
    const std::vector<uint8_t> data = Lzw(indices, codeSize);
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        f.push_back(uint8_t(n));
        f.insert(f.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    f.insert(f.end(), {0, ';'});
    return f;
}

// Long runs and repeats (so the table fills and clears), in stored row order.
std::vector<int> Indices(int width, int height, int limit)
{
    std::vector<int> v;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            v.push_back(((x / 3) * 37 + (y / 2) * 11 + (x * y) % 5) % limit);
    return v;
}

class GifWideCodes : public testing::TestWithParam<std::tuple<int, bool, std::pair<int, int>>> {};

TEST_P(GifWideCodes, MatchGiftopnm)
{
    if (!HaveTool("giftopnm"))
        GTEST_SKIP() << "netpbm is not installed";
    const auto [codeSize, interlace, size] = GetParam();
    const auto [w, h] = size;
    TempDir dir;
    const std::string gif = dir.file("wide.gif"), ref = dir.file("ref.ppm");
    ASSERT_TRUE(WriteFileBytes(gif, WideGif(w, h, codeSize, Indices(w, h, 256), interlace)));
    ASSERT_EQ(testsupport::Run("giftopnm " + gif + " > " + ref + " 2>/dev/null"), 0);
    const RgbPicture expected = ReadPnm(ref);
    ASSERT_EQ(expected.width, w);
    const RasterImage raster = OpenDib(gif.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), 8);
    EXPECT_EQ(FirstDifference(RasterToRgb(raster), expected), "");
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(Tools, GifWideCodes,
                         testing::Combine(testing::Values(8, 9, 10, 11), testing::Bool(),
                                          testing::Values(std::pair{37, 23}, std::pair{1, 1},
                                                          std::pair{300, 61})));

TEST(GifWideCodes, IndicesPastTheTableAreClampedAndShortDataKeepsTheBackground)
{
    // Code size 10: indices up to 1023 against a 256-entry table.
    const std::vector<int> indices = {5, 300, 1023, 255, 7, 7, 7, 7};
    std::vector<uint8_t> gif = WideGif(4, 4, 10, indices, false); // half the rows are missing
    const RasterImage raster = OpenDibMemory(gif.data(), gif.size());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(getpixel(raster, 0, 0), 5u);
    EXPECT_EQ(getpixel(raster, 1, 0), 255u);
    EXPECT_EQ(getpixel(raster, 2, 0), 255u);
    EXPECT_EQ(getpixel(raster, 3, 1), 7u);
    EXPECT_EQ(getpixel(raster, 0, 2), 3u); // the background index
    EXPECT_EQ(getpixel(raster, 3, 3), 3u);
    deldib(raster);
}

TEST(GifWideCodes, CodeSizesOf12BitsAndMoreAreRefusedAsDamaged)
{
    for (int codeSize : {12, 13, 255}) {
        std::vector<uint8_t> gif = WideGif(2, 1, 9, {1, 2}, false);
        gif[13 + 768 + 10] = uint8_t(codeSize);
        const RasterImage raster = OpenDibMemory(gif.data(), gif.size());
        EXPECT_EQ(raster.Pixels, nullptr);
        EXPECT_EQ(RasterErrorText(raster), "The picture is damaged: its GIF LZW code size of "
                                               + std::to_string(codeSize)
                                               + " bits leaves no room for GIF's 12-bit codes");
    }
}

} // namespace
