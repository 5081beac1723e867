// SPDX-License-Identifier: GPL-3.0-or-later
// Thumbnails against the plain rule: the size from the longer side, and each pixel the
// rounded mean of its box, over random rasters of many shapes (a pixel, a row, a column,
// no larger than the side, far wider than high and the reverse).
#include "document/Thumbnail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

TEST(Thumbnail, EachPixelIsTheRoundedMeanOfItsBox)
{
    std::mt19937 rng(3);
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1},    {1, 9},     {9, 1},     {16, 16},
                                                 {16, 7},   {300, 120}, {120, 300}, {1000, 3},
                                                 {3, 1000}, {511, 257}, {17, 600},  {2000, 2}};
    const int32_t side = 16;
    for (const auto &[w, h] : sizes) {
        RasterImage raster = newdib(w, h, 24, nullptr, 0);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < 3 * w; ++x)
                PictureRow(raster, y)[x] = uint8_t(rng());
        const document::Thumbnail t = document::MakeThumbnail(raster, side);

        const int32_t longer = std::max(w, h);
        const int32_t tw = longer <= side ? w : std::max(1, w * side / longer);
        const int32_t th = longer <= side ? h : std::max(1, h * side / longer);
        ASSERT_EQ(t.Width, tw) << w << " x " << h;
        ASSERT_EQ(t.Height, th) << w << " x " << h;
        ASSERT_EQ(t.Bgr.size(), size_t(tw) * size_t(th) * 3);
        for (int32_t ty = 0; ty < th; ++ty)
            for (int32_t tx = 0; tx < tw; ++tx)
                for (int c = 0; c < 3; ++c) {
                    double sum = 0;
                    int count = 0;
                    for (int32_t y = ty * h / th; y < (ty + 1) * h / th; ++y)
                        for (int32_t x = tx * w / tw; x < (tx + 1) * w / tw; ++x) {
                            sum += PictureRow(raster, y)[3 * x + c];
                            ++count;
                        }
                    const auto expected = int(std::floor(sum / count + 0.5));
                    ASSERT_EQ(t.Bgr[(size_t(ty) * size_t(tw) + size_t(tx)) * 3 + size_t(c)],
                              expected)
                        << w << " x " << h << " at " << tx << "," << ty << " channel " << c;
                }
        deldib(raster);
    }
}

TEST(Thumbnail, NoneOfARasterThatIsNot24Bit)
{
    RasterImage grey = newdib(40, 30, 8, nullptr, 0);
    const document::Thumbnail t = document::MakeThumbnail(grey, 16);
    EXPECT_EQ(t.Width, 0);
    EXPECT_EQ(t.Height, 0);
    EXPECT_TRUE(t.Bgr.empty());
    deldib(grey);
}

} // namespace
