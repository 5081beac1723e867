// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/BrushGeometry.h"
#include "view/BrushStroke.h"
#include "view/BrushStrokeLiteral.h"
#include "view/DoPix.h"
#include "view/RasterFixture.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using viewtest::OwnedRaster;

// The fast stroke must leave every byte (padding included) as the literal per-stamp,
// per-pixel walk does, and report the same rectangle.
class StrokeMatchesLiteral : public testing::TestWithParam<uint32_t> {};

TEST_P(StrokeMatchesLiteral, RandomStrokesWriteIdenticalBytes)
{
    std::mt19937 gen(GetParam());
    auto pick = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(gen);
    };
    const int32_t width = pick(1, 60);
    const int32_t height = pick(1, 45);
    OwnedRaster source(width, height);
    OwnedRaster fast(width, height);
    OwnedRaster literal(width, height);
    source.FillRandom(GetParam() * 3 + 1);
    fast.FillRandom(GetParam() * 3 + 2);
    literal.Assign(fast.Copy());

    for (int step = 0; step < 12; ++step) {
        const int32_t zoom = pick(0, 3) == 0 ? 100 : pick(10, 1000);
        // View positions reaching well beyond the picture on every side.
        const int32_t vx1 = pick(-40, width * zoom / 100 + 40);
        const int32_t vy1 = pick(-40, height * zoom / 100 + 40);
        const bool still = pick(0, 4) == 0;
        const int32_t vx2 = still ? vx1 : pick(-40, width * zoom / 100 + 40);
        const int32_t vy2 = still ? vy1 : pick(-40, height * zoom / 100 + 40);
        view::StrokeParams params;
        params.radius = pick(-1, 4) == 0 ? pick(-2, 0) : pick(0, 30);
        params.hue = pick(0, 255);
        params.saturation = pick(0, 255);
        params.brightness = pick(-100, 100);
        params.colorize = pick(0, 3) != 0;
        const int32_t x1 = view::MapViewToRaster(vx1, zoom);
        const int32_t y1 = view::MapViewToRaster(vy1, zoom);
        const int32_t x2 = view::MapViewToRaster(vx2, zoom);
        const int32_t y2 = view::MapViewToRaster(vy2, zoom);

        const view::IntRect fastBox =
            view::StrokeLine(source.get(), fast.get(), x1, y1, x2, y2, params);
        const view::IntRect literalBox =
            view::StrokeLineLiteral(source.get(), literal.get(), x1, y1, x2, y2, params);
        ASSERT_EQ(fast.Copy(), literal.Copy())
            << "step " << step << ": (" << x1 << "," << y1 << ")-(" << x2 << "," << y2
            << ") radius " << params.radius << " colorize " << params.colorize;
        ASSERT_EQ(fastBox, literalBox) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, StrokeMatchesLiteral, testing::Range(1u, 201u));

class StrokeTest : public testing::Test {
protected:
    void SetUp() override
    {
        source.FillRandom(11);
        work.FillRandom(12);
    }
    OwnedRaster source{40, 30};
    OwnedRaster work{40, 30};
};

TEST_F(StrokeTest, BigRadiusAndLongLinesMatchTheLiteralWalk)
{
    OwnedRaster literal(40, 30);
    literal.Assign(work.Copy());
    view::StrokeParams params;
    params.hue = 20;
    params.saturation = 141;
    for (const int32_t radius : {100, 45, 1}) {
        params.radius = radius;
        const auto a = view::StrokeLine(source.get(), work.get(), -300, 17, 350, -90, params);
        const auto b =
            view::StrokeLineLiteral(source.get(), literal.get(), -300, 17, 350, -90, params);
        EXPECT_EQ(a, b);
        EXPECT_EQ(work.Copy(), literal.Copy()) << "radius " << radius;
    }
}

TEST_F(StrokeTest, ChangedRectangleCoversExactlyTheWrittenPixels)
{
    const auto before = work.Copy();
    view::StrokeParams params;
    params.radius = 3;
    params.colorize = false;
    const view::IntRect box = view::StrokeLine(source.get(), work.get(), 10, 5, 20, 9, params);
    EXPECT_EQ(box, (view::IntRect{7, 2, 24, 13}));
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            const size_t at = size_t(work.At(x, y) - work.get().Pixels);
            const bool changed = std::memcmp(work.At(x, y), before.data() + at, 3) != 0;
            const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            if (changed) {
                EXPECT_TRUE(inside) << x << "," << y;
            }
        }
    }
}

TEST_F(StrokeTest, StrokeOffThePictureWritesNothingAndReportsAnEmptyRectangle)
{
    const auto before = work.Copy();
    view::StrokeParams params;
    params.radius = 5;
    EXPECT_TRUE(view::StrokeLine(source.get(), work.get(), -20, -20, -6, 50, params).Empty());
    EXPECT_TRUE(view::StrokeLine(source.get(), work.get(), 45, 0, 80, 29, params).Empty());
    params.radius = -1;
    EXPECT_TRUE(view::StrokeLine(source.get(), work.get(), 5, 5, 30, 20, params).Empty());
    EXPECT_EQ(work.Copy(), before);
}

TEST_F(StrokeTest, DragPastTheEdgePaintsTheInsidePart)
{
    view::StrokeParams params;
    params.radius = 2;
    params.colorize = false;
    const view::IntRect box = view::StrokeLine(source.get(), work.get(), 30, 10, 60, 10, params);
    EXPECT_EQ(box, (view::IntRect{28, 8, 40, 13}));
    for (int32_t x = 28; x < 40; ++x)
        EXPECT_EQ(0, std::memcmp(work.At(x, 10), source.At(x, 10), 3)) << x;
}

TEST_F(StrokeTest, UnequalRasterSizesStayWithinTheSmallerOne)
{
    OwnedRaster small(25, 12);
    small.FillRandom(13);
    OwnedRaster smallLiteral(25, 12);
    smallLiteral.Assign(small.Copy());
    view::StrokeParams params;
    params.radius = 8;
    const auto a = view::StrokeLine(source.get(), small.get(), 0, 0, 39, 29, params);
    const auto b = view::StrokeLineLiteral(source.get(), smallLiteral.get(), 0, 0, 39, 29, params);
    EXPECT_EQ(a, b);
    EXPECT_LE(a.right, 25);
    EXPECT_LE(a.bottom, 12);
    EXPECT_EQ(small.Copy(), smallLiteral.Copy());
}

} // namespace
