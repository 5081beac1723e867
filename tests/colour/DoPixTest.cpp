// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/DoPix.h"

#include "colour/RGBHSL.h"
#include "view/RasterFixture.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using viewtest::OwnedRaster;

constexpr int32_t kW = 7;
constexpr int32_t kH = 5;

std::array<uint8_t, 3> Bgr(int32_t hue, int32_t sat, int32_t light)
{
    int32_t r, g, b;
    HslToRgb(hue, sat, light, r, g, b);
    return {uint8_t(b), uint8_t(g), uint8_t(r)};
}

std::array<uint8_t, 3> PixelOf(const OwnedRaster &raster, int32_t x, int32_t y)
{
    const uint8_t *p = raster.At(x, y);
    return {p[0], p[1], p[2]};
}

class DoPixTest : public testing::Test {
protected:
    void SetUp() override
    {
        source.FillRandom(1);
        work.FillRandom(2);
    }
    void ColorizeAll(int32_t hue, int32_t sat, int32_t bright)
    {
        for (int32_t y = 0; y < kH; ++y)
            for (int32_t x = 0; x < kW; ++x)
                colour::DoPix(source.get(), work.get(), x, y, hue, sat, bright, true);
    }
    void EraseAll()
    {
        for (int32_t y = 0; y < kH; ++y)
            for (int32_t x = 0; x < kW; ++x)
                colour::DoPix(source.get(), work.get(), x, y, 0, 0, 0, false);
    }
    void SetSource(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b)
    {
        uint8_t *p = source.At(x, y);
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }

    OwnedRaster source{kW, kH};
    OwnedRaster work{kW, kH};
};

struct Position {
    int32_t x, y;
    bool inside;
};

class DoPixBounds : public DoPixTest, public testing::WithParamInterface<Position> {};

TEST_P(DoPixBounds, OnlyPositionsInsideThePictureAreWritten)
{
    const Position pos = GetParam();
    const auto sourceBefore = source.Copy();
    auto expected = work.Copy();
    if (pos.inside) {
        const size_t at = size_t(work.At(pos.x, pos.y) - work.get().Pixels);
        const auto colour =
            Bgr(99, 200,
                colour::GreyValue(source.At(pos.x, pos.y)[2], source.At(pos.x, pos.y)[1],
                                  source.At(pos.x, pos.y)[0]));
        std::copy(colour.begin(), colour.end(), expected.begin() + long(at));
    }
    colour::DoPix(source.get(), work.get(), pos.x, pos.y, 99, 200, 0, true);
    EXPECT_EQ(work.Copy(), expected);
    EXPECT_EQ(source.Copy(), sourceBefore);
}

INSTANTIATE_TEST_SUITE_P(Edges, DoPixBounds,
                         testing::Values(Position{0, 0, true}, Position{kW - 1, 0, true},
                                         Position{0, kH - 1, true}, Position{kW - 1, kH - 1, true},
                                         Position{kW, 0, false}, Position{0, kH, false},
                                         Position{-1, 0, false}, Position{0, -1, false},
                                         Position{-1, -1, false}, Position{kW, kH, false},
                                         Position{INT32_MIN, 0, false},
                                         Position{0, INT32_MAX, false}));

TEST_F(DoPixTest, RowZeroIsTheLastMemoryRow)
{
    SetSource(0, 0, 128, 128, 128);
    colour::DoPix(source.get(), work.get(), 0, 0, 85, 255, 0, true);
    const uint8_t *last = work.get().Pixels + size_t(work.get().Stride) * (kH - 1);
    EXPECT_EQ(last[0], 0);   // blue
    EXPECT_EQ(last[1], 255); // green
    EXPECT_EQ(last[2], 0);   // red
}

TEST_F(DoPixTest, ColorizingTwiceWritesTheSameBytes)
{
    ColorizeAll(20, 141, 30);
    const auto once = work.Copy();
    ColorizeAll(20, 141, 30);
    EXPECT_EQ(work.Copy(), once);
}

TEST_F(DoPixTest, ASecondHueReplacesTheFirst)
{
    const auto start = work.Copy();
    ColorizeAll(170, 90, -20);
    ColorizeAll(43, 250, 10);
    const auto layered = work.Copy();
    work.Assign(start);
    ColorizeAll(43, 250, 10);
    EXPECT_EQ(work.Copy(), layered);
}

TEST_F(DoPixTest, ResultDoesNotDependOnTheWorkRaster)
{
    ColorizeAll(200, 60, 70);
    const auto fromRandom = work.Copy();
    std::memset(const_cast<uint8_t *>(work.get().Pixels), 0xff, work.Bytes());
    ColorizeAll(200, 60, 70);
    for (int32_t y = 0; y < kH; ++y)
        for (int32_t x = 0; x < kW; ++x)
            EXPECT_EQ(0, std::memcmp(work.At(x, y),
                                     fromRandom.data() + (work.At(x, y) - work.get().Pixels), 3));
}

TEST_F(DoPixTest, EraserRestoresTheSourceByteForByte)
{
    ColorizeAll(20, 141, 0);
    ColorizeAll(128, 255, -100);
    EraseAll();
    for (int32_t y = 0; y < kH; ++y)
        for (int32_t x = 0; x < kW; ++x)
            EXPECT_EQ(PixelOf(work, x, y), PixelOf(source, x, y)) << x << "," << y;
}

TEST_F(DoPixTest, BrightnessMinus100GivesLightnessZeroEverywhere)
{
    ColorizeAll(143, 157, -100);
    for (int32_t y = 0; y < kH; ++y)
        for (int32_t x = 0; x < kW; ++x)
            EXPECT_EQ(PixelOf(work, x, y), Bgr(143, 157, 0)) << x << "," << y;
}

TEST_F(DoPixTest, WhiteSourceGivesLightness254NotWhite)
{
    SetSource(3, 2, 255, 255, 255);
    colour::DoPix(source.get(), work.get(), 3, 2, 0, 0, 0, true);
    EXPECT_EQ(PixelOf(work, 3, 2), Bgr(0, 0, 254));
    EXPECT_NE(PixelOf(work, 3, 2), Bgr(0, 0, 255));
}

TEST_F(DoPixTest, SmallerWorkRasterIsNeverWrittenBeyondItsSize)
{
    OwnedRaster small(kW - 2, kH - 2);
    small.FillRandom(3);
    const auto before = small.Copy();
    colour::DoPix(source.get(), small.get(), kW - 1, 0, 10, 10, 0, true);
    colour::DoPix(source.get(), small.get(), 0, kH - 1, 10, 10, 0, false);
    EXPECT_EQ(small.Copy(), before);
}

struct LightCase {
    uint8_t r, g, b;
    int32_t brightness;
    int32_t grey;
    int32_t light;
};

class DoPixLightness : public DoPixTest, public testing::WithParamInterface<LightCase> {};

TEST_P(DoPixLightness, GreyValueThenBrightnessGiveTheLightness)
{
    const LightCase c = GetParam();
    EXPECT_EQ(colour::GreyValue(c.r, c.g, c.b), c.grey);
    EXPECT_EQ(colour::ApplyBrightness(c.grey, c.brightness), c.light);
    SetSource(1, 1, c.r, c.g, c.b);
    colour::DoPix(source.get(), work.get(), 1, 1, 20, 141, c.brightness, true);
    EXPECT_EQ(PixelOf(work, 1, 1), Bgr(20, 141, c.light));
}

INSTANTIATE_TEST_SUITE_P(
    Worked, DoPixLightness,
    testing::Values(LightCase{255, 255, 255, 0, 254, 254}, LightCase{0, 0, 0, 100, 0, 255},
                    LightCase{100, 100, 100, 50, 100, 177}, LightCase{100, 100, 100, -50, 100, 50},
                    LightCase{200, 50, 10, 0, 90, 90}, LightCase{128, 128, 128, 0, 127, 127},
                    LightCase{255, 255, 255, -100, 254, 0}, LightCase{3, 3, 3, 1, 1, 3}));

// A brightness still being typed (outside -100..100) acts as the nearest end of the
// range instead of pushing the lightness outside 0..255.
INSTANTIATE_TEST_SUITE_P(BrightnessBeyondItsRange, DoPixLightness,
                         testing::Values(LightCase{100, 100, 100, 150, 100, 255},
                                         LightCase{100, 100, 100, -101, 100, 0},
                                         LightCase{255, 255, 255, INT32_MAX, 254, 255},
                                         LightCase{255, 255, 255, INT32_MIN, 254, 0}));

} // namespace
