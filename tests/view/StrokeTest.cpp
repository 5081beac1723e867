// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/DoPix.h"
#include "view/BrushGeometry.h"
#include "view/BrushStroke.h"
#include "view/BrushStrokeLiteral.h"
#include "view/RasterFixture.h"
#include "view/RasterToViewRect.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using viewtest::OwnedRaster;

// The fast stroke must leave every byte (padding included) as the literal per-stamp,
// per-pixel walk does, and report the same rectangle.
void RandomStrokes(uint32_t seed)
{
    std::mt19937 gen(seed);
    auto pick = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(gen);
    };
    const int32_t width = pick(1, 60);
    const int32_t height = pick(1, 45);
    OwnedRaster source(width, height);
    OwnedRaster fast(width, height);
    OwnedRaster literal(width, height);
    source.FillRandom(seed * 3 + 1);
    fast.FillRandom(seed * 3 + 2);
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
        // Every sixth hue or so keeps tones, drawn from the hue so that the random
        // sequence of the other parameters stays as it was.
        params.keepTones = params.hue % 6 == 0;
        const int32_t x1 = view::MapViewToRaster(vx1, zoom);
        const int32_t y1 = view::MapViewToRaster(vy1, zoom);
        const int32_t x2 = view::MapViewToRaster(vx2, zoom);
        const int32_t y2 = view::MapViewToRaster(vy2, zoom);

        const Rect fastBox = view::StrokeLine(source.get(), fast.get(), x1, y1, x2, y2, params);
        const Rect literalBox =
            view::StrokeLineLiteral(source.get(), literal.get(), x1, y1, x2, y2, params);
        ASSERT_EQ(fast.Copy(), literal.Copy())
            << "step " << step << ": (" << x1 << "," << y1 << ")-(" << x2 << "," << y2
            << ") radius " << params.radius << " colorize " << params.colorize << " keep tones "
            << params.keepTones;
        ASSERT_EQ(fastBox, literalBox) << "step " << step;
    }
}

TEST(StrokeMatchesLiteral, RandomStrokesWriteIdenticalBytes)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        RandomStrokes(seed);
        if (HasFatalFailure())
            return;
    }
}

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
    const Rect box = view::StrokeLine(source.get(), work.get(), 10, 5, 20, 9, params);
    EXPECT_EQ(box, (Rect{7, 2, 24, 13}));
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            const size_t at = size_t(work.At(x, y) - work.get().Pixels);
            const bool changed = std::memcmp(work.At(x, y), before.data() + at, 3) != 0;
            const bool inside = x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom;
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
    const Rect box = view::StrokeLine(source.get(), work.get(), 30, 10, 60, 10, params);
    EXPECT_EQ(box, (Rect{28, 8, 40, 13}));
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
    EXPECT_LE(a.Right, 25);
    EXPECT_LE(a.Bottom, 12);
    EXPECT_EQ(small.Copy(), smallLiteral.Copy());
}

} // namespace

namespace {

struct ViewCase {
    int32_t width, height, zoom;
};

class ChangedViewRect : public testing::TestWithParam<ViewCase> {};

// Every view pixel that shows a changed raster pixel lies in the view rectangle, and
// nothing else does, for rectangles all over the raster.
TEST_P(ChangedViewRect, HoldsExactlyTheViewPixelsShowingTheRasterRectangle)
{
    const ViewCase c = GetParam();
    const int32_t viewWidth = c.width * c.zoom / 100;
    const int32_t viewHeight = c.height * c.zoom / 100;
    std::mt19937 gen(uint32_t(c.width * 7 + c.zoom));
    for (int trial = 0; trial < 40; ++trial) {
        auto pick = [&](int32_t lo, int32_t hi) {
            return std::uniform_int_distribution<int32_t>(lo, hi)(gen);
        };
        const int32_t left = pick(0, c.width - 1);
        const int32_t top = pick(0, c.height - 1);
        const Rect raster{left, top, pick(left + 1, c.width), pick(top + 1, c.height)};
        const Rect shown = view::RasterToViewRect(raster, c.width, c.height, c.zoom);
        // The view columns and rows that show the rectangle's columns and rows.
        Rect wanted{viewWidth, viewHeight, 0, 0};
        for (int32_t v = 0; v < viewWidth; ++v) {
            const int32_t column = int32_t(int64_t(c.width) * v / viewWidth);
            if (column >= raster.Left && column < raster.Right) {
                wanted.Left = std::min(wanted.Left, v);
                wanted.Right = v + 1;
            }
        }
        for (int32_t u = 0; u < viewHeight; ++u) {
            const int32_t row = int32_t(int64_t(c.height) * u / viewHeight);
            if (row >= raster.Top && row < raster.Bottom) {
                wanted.Top = std::min(wanted.Top, u);
                wanted.Bottom = u + 1;
            }
        }
        if (wanted.Empty())
            EXPECT_TRUE(shown.Empty()) << "trial " << trial;
        else
            EXPECT_EQ(shown, wanted) << "trial " << trial;
    }
}

INSTANTIATE_TEST_SUITE_P(Zooms, ChangedViewRect,
                         testing::Values(ViewCase{101, 37, 150}, ViewCase{640, 480, 100},
                                         ViewCase{97, 61, 10}, ViewCase{33, 29, 1000},
                                         ViewCase{50, 50, 50}, ViewCase{7, 300, 230}));

TEST(ChangedViewRectEdges, EmptyInputsGiveAnEmptyRectangle)
{
    EXPECT_TRUE(view::RasterToViewRect({}, 10, 10, 100).Empty());
    EXPECT_TRUE(view::RasterToViewRect({0, 0, 5, 5}, 10, 10, 0).Empty());
    EXPECT_TRUE(view::RasterToViewRect({0, 0, 5, 5}, 9, 9, 10).Empty()); // view 0 x 0
    EXPECT_EQ(view::RasterToViewRect({-5, -5, 50, 50}, 10, 10, 200), (Rect{0, 0, 20, 20}));
}

} // namespace
