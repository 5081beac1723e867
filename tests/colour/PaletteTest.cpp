// SPDX-License-Identifier: GPL-3.0-or-later
// The palette field, the position-to-colour mapping and the rule for typed numbers
// beyond 0..255. The marker's place is read from the box's pixels in tst_colour.
#include "colour/PaletteField.h"
#include "colour/PalettePick.h"
#include "colour/RGBHSL.h"
#include "colour/TypedColour.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The 64 column saturations as the picker lists them.
constexpr int32_t kColumnSat[64] = {0,   4,   8,   12,  16,  20,  24,  28,  32,  36,  40,  44,  48,
                                    52,  56,  60,  64,  68,  72,  76,  80,  85,  89,  93,  97,  101,
                                    105, 109, 113, 117, 121, 125, 129, 133, 137, 141, 145, 149, 153,
                                    157, 161, 165, 170, 174, 178, 182, 186, 190, 194, 198, 202, 206,
                                    210, 214, 218, 222, 226, 230, 234, 238, 242, 246, 250, 255};

TEST(PaletteField, EveryPixelIsItsRowHueAndColumnSaturationAtLightness128)
{
    const RasterImage raster = newdib(64, 256, 24, nullptr, 0);
    ASSERT_NE(raster.Pixels, nullptr);
    colour::FillPaletteField(raster);
    int failures = 0;
    for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 64; ++x) {
            int32_t r = 0, g = 0, b = 0;
            HslToRgb(y, kColumnSat[x], 128, r, g, b);
            if (getpixel(raster, x, y) != ScreenColour(r, g, b) && ++failures < 10)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    for (int32_t y = 0; y < 256; ++y)
        EXPECT_EQ(getpixel(raster, 0, y), ScreenColour(128, 128, 128)) << y;
    EXPECT_EQ(getpixel(raster, 63, 0), ScreenColour(255, 1, 1));
    EXPECT_EQ(getpixel(raster, 63, 85), ScreenColour(1, 255, 1));
    deldib(raster);
}

TEST(PaletteField, WritesNothingWithoutPixelMemory)
{
    const RasterImage raster = newdib(64, 256, 24, nullptr, 0);
    RasterImage noPixels = raster; // the header is there, the pixel address is not
    noPixels.Pixels = nullptr;
    colour::FillPaletteField(noPixels);
    colour::FillPaletteField(RasterImage{});
    for (uint32_t i = 0; i < RasterImageSize(raster); ++i)
        ASSERT_EQ(raster.Pixels[i], 0) << i;
    deldib(raster);
}

TEST(PaletteColourAt, BoxColumnsPickTheirColumnSaturationAndEdgesClamp)
{
    for (int32_t X = -200; X <= 200; ++X) {
        const int32_t sat = X <= 4 ? 0 : X >= 67 ? 255 : kColumnSat[X - 4];
        EXPECT_EQ(colour::PaletteColourAt(X, 50), (colour::HueSat{46, sat})) << X;
    }
    for (int32_t Y = -200; Y <= 500; ++Y) {
        const int32_t hue = Y <= 4 ? 0 : Y >= 259 ? 255 : Y - 4;
        EXPECT_EQ(colour::PaletteColourAt(25, Y), (colour::HueSat{hue, 85})) << Y;
    }
    EXPECT_EQ(colour::PaletteColourAt(INT_MIN, INT_MIN), (colour::HueSat{0, 0}));
    EXPECT_EQ(colour::PaletteColourAt(INT_MAX, INT_MAX), (colour::HueSat{255, 255}));
}

TEST(TypedColourByte, NumbersBeyondTheRangeCountAsTheNearerEnd)
{
    const int32_t cases[][2] = {{INT_MIN, 0}, {-1, 0},    {17, 17},
                                {255, 255},   {256, 255}, {INT_MAX, 255}};
    for (const auto &c : cases)
        EXPECT_EQ(colour::TypedColourByte(c[0]), c[1]) << c[0];
}

} // namespace
