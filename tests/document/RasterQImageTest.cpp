// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RasterQImage.h"

#include <gtest/gtest.h>

#include <QColor>

#include <cstring>
#include <vector>

namespace {

QColor Of(const RGBQUAD &c)
{
    return QColor(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

TEST(RasterToQImage, IndexedRasterGoesThroughItsColourTable)
{
    // A 4-bit raster with an odd width.
    RGBQUAD colours[16] = {};
    for (int i = 0; i < 16; ++i)
        colours[i] = RGBQUAD{uint8_t(i * 16), uint8_t(255 - i * 8), uint8_t(i * 3), 0};
    std::vector<uint8_t> packed(40 + sizeof colours);
    std::memcpy(packed.data() + 40, colours, sizeof colours);
    RasterImage r = newdib(3, 2, 4, packed.data(), 16);
    ASSERT_TRUE(r.Pixels);
    setpixel(r, 0, 0, 1);
    setpixel(r, 2, 0, 15);
    setpixel(r, 1, 1, 7);
    const QImage image = document::RasterToQImage(r);
    EXPECT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixelColor(0, 0), Of(colours[1]));
    EXPECT_EQ(image.pixelColor(2, 0), Of(colours[15]));
    EXPECT_EQ(image.pixelColor(1, 1), Of(colours[7]));
    EXPECT_EQ(image.pixelColor(0, 1), Of(colours[0]));
    deldib(r);
}

TEST(RasterToQImage, TrueColourRasterKeepsEveryPixelTopRowFirst)
{
    // Odd width, so rows are padded; bottom-up memory rows come out top row first.
    RasterImage r = newdib(5, 3, 24, nullptr, 0);
    ASSERT_TRUE(r.Pixels);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            setpixel(r, x, y, uint32_t(x * 40 + (y * 70 << 8) + ((x + y) * 20 << 16)));
    const QImage image = document::RasterToQImage(r);
    ASSERT_EQ(image.size(), QSize(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image.pixelColor(x, y), QColor(x * 40, y * 70, (x + y) * 20))
                << x << "," << y;
    deldib(r);
}

TEST(RasterToQImage, RasterWithoutPixelsGivesANullImage)
{
    EXPECT_TRUE(document::RasterToQImage(RasterImage{}).isNull());
}

} // namespace
