// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/BrushGeometry.h"
#include "view/BrushLine.h"
#include "view/BrushStamp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using Point = std::pair<int32_t, int32_t>;

std::vector<Point> Stamp(int32_t cx, int32_t cy, int32_t radius)
{
    std::vector<Point> pixels;
    view::DoBrush(cx, cy, radius, [&](int32_t x, int32_t y) { pixels.emplace_back(x, y); });
    return pixels;
}

std::vector<Point> Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    std::vector<Point> centres;
    view::BrushLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) { centres.emplace_back(x, y); });
    return centres;
}

// ---- stamp ----

struct StampSize {
    int32_t radius;
    size_t pixels;
};

class StampSizes : public testing::TestWithParam<StampSize> {};

TEST_P(StampSizes, DiscHoldsTheKnownNumberOfPixels)
{
    const auto pixels = Stamp(3, -4, GetParam().radius);
    EXPECT_EQ(pixels.size(), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Radii, StampSizes,
                         testing::Values(StampSize{-1, 0}, StampSize{-100, 0}, StampSize{0, 1},
                                         StampSize{1, 5}, StampSize{2, 13}, StampSize{10, 317},
                                         StampSize{100, 31417}));

TEST(Stamp, RadiusOneIsAPlusAroundTheCentre)
{
    EXPECT_EQ(Stamp(5, 7, 1), (std::vector<Point>{{4, 7}, {5, 6}, {5, 7}, {5, 8}, {6, 7}}));
}

TEST(Stamp, ColumnsOuterRowsInnerAndBoundaryIncluded)
{
    const auto pixels = Stamp(0, 0, 5);
    // (3, 4) and (5, 0) lie exactly on the circle.
    EXPECT_NE(std::find(pixels.begin(), pixels.end(), Point{3, 4}), pixels.end());
    EXPECT_NE(std::find(pixels.begin(), pixels.end(), Point{-5, 0}), pixels.end());
    EXPECT_EQ(std::find(pixels.begin(), pixels.end(), Point{4, 4}), pixels.end());
    for (size_t i = 1; i < pixels.size(); ++i) {
        const bool sameColumnDown =
            pixels[i].first == pixels[i - 1].first && pixels[i].second > pixels[i - 1].second;
        const bool nextColumn = pixels[i].first > pixels[i - 1].first;
        EXPECT_TRUE(sameColumnDown || nextColumn) << "at " << i;
    }
    EXPECT_EQ(pixels.front(), (Point{-5, 0}));
    EXPECT_EQ(pixels.back(), (Point{5, 0}));
}

// ---- line of stamps ----

TEST(Line, ShallowDragMakesOneStampPerColumnOnTheBresenhamLine)
{
    const auto centres = Line(0, 0, 100, 40);
    ASSERT_EQ(centres.size(), 101u);
    for (int32_t k = 0; k <= 100; ++k) {
        // Midpoint rounding with ties upward: the minor step is taken at error 0.
        const int32_t y = (2 * 40 * k + 100) / 200;
        EXPECT_EQ(centres[size_t(k)], (Point{k, y})) << "stamp " << k;
    }
}

TEST(Line, SteepDragRunsFromItsStartRowEvenThoughItIsWalkedFromTheOtherEnd)
{
    const auto centres = Line(10, 50, 10, 0);
    ASSERT_EQ(centres.size(), 51u);
    for (int32_t k = 0; k <= 50; ++k)
        EXPECT_EQ(centres[size_t(k)], (Point{10, 50 - k}));
}

TEST(Line, ZeroLengthMakesOneStamp)
{
    EXPECT_EQ(Line(-7, 9, -7, 9), (std::vector<Point>{{-7, 9}}));
}

struct Segment {
    int32_t x1, y1, x2, y2;
};

class LineShape : public testing::TestWithParam<Segment> {};

TEST_P(LineShape, StampsRunFromStartToEndAsConnectedMonotoneSteps)
{
    const Segment s = GetParam();
    const auto centres = Line(s.x1, s.y1, s.x2, s.y2);
    const int32_t major = std::max(std::abs(s.x2 - s.x1), std::abs(s.y2 - s.y1));
    ASSERT_EQ(centres.size(), size_t(major) + 1);
    EXPECT_EQ(centres.front(), (Point{s.x1, s.y1}));
    EXPECT_EQ(centres.back(), (Point{s.x2, s.y2}));
    for (size_t i = 1; i < centres.size(); ++i) {
        const int32_t dx = centres[i].first - centres[i - 1].first;
        const int32_t dy = centres[i].second - centres[i - 1].second;
        EXPECT_LE(std::abs(dx), 1);
        EXPECT_LE(std::abs(dy), 1);
        EXPECT_TRUE(dx == 0 || (dx > 0) == (s.x2 > s.x1));
        EXPECT_TRUE(dy == 0 || (dy > 0) == (s.y2 > s.y1));
    }
}

TEST_P(LineShape, BackwardLineMirrorsTheWalkFromTheLowerEnd)
{
    // Whichever way a segment is dragged, it is walked from the end with the smaller
    // major coordinate; the backward drag stamps the mirror image of that walk.
    Segment s = GetParam();
    const bool steep = std::abs(s.x2 - s.x1) < std::abs(s.y2 - s.y1);
    if ((steep ? s.y1 : s.x1) < (steep ? s.y2 : s.x2))
        s = Segment{s.x2, s.y2, s.x1, s.y1};
    const auto backward = Line(s.x1, s.y1, s.x2, s.y2);
    const auto walk = Line(s.x2, s.y2, s.x1, s.y1);
    ASSERT_EQ(backward.size(), walk.size());
    for (size_t i = 0; i < walk.size(); ++i)
        EXPECT_EQ(backward[i], (Point{s.x1 + s.x2 - walk[i].first, s.y1 + s.y2 - walk[i].second}))
            << "stamp " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Octants, LineShape,
    testing::Values(Segment{0, 0, 100, 40}, Segment{100, 40, 0, 0}, Segment{0, 0, 40, 100},
                    Segment{40, 100, 0, 0}, Segment{0, 0, -100, 40}, Segment{0, 0, 100, -40},
                    Segment{5, 5, 12, 12}, Segment{12, 12, 5, 5}, Segment{3, 9, -3, -9},
                    Segment{-20, 7, 31, 6}, Segment{0, 0, 7, 3}, Segment{7, 3, 0, 0},
                    Segment{1, 1, 1, 1}, Segment{0, 0, 1, 2}, Segment{10, 50, 10, 0}));

// ---- view to raster mapping ----

struct Mapping {
    int32_t view;
    int32_t zoom;
    int32_t raster;
};

class ViewToRaster : public testing::TestWithParam<Mapping> {};

TEST_P(ViewToRaster, DividesFirstThenScalesThenTruncates)
{
    EXPECT_EQ(view::MapViewToRaster(GetParam().view, GetParam().zoom), GetParam().raster);
}

INSTANTIATE_TEST_SUITE_P(
    Zooms, ViewToRaster,
    testing::Values(Mapping{21, 10, 209}, // 2.1 rounds below itself before the scaling
                    Mapping{7, 200, 3}, Mapping{7, 50, 14}, Mapping{-1, 200, 0},
                    Mapping{-9, 1000, 0}, Mapping{0, 100, 0}, Mapping{639, 100, 639},
                    Mapping{30, 10, 300}, Mapping{151, 150, 100}, Mapping{10000, 1000, 1000},
                    Mapping{5, 0, 0}, Mapping{5, -10, 0}));

// ---- outline ----

struct Outline {
    int32_t x, y, radius, zoom;
    Rect rect;
};

class OutlineRect : public testing::TestWithParam<Outline> {};

TEST_P(OutlineRect, TruncatesEachCornerTowardZero)
{
    const Outline o = GetParam();
    EXPECT_EQ(view::BrushOutlineRect(o.x, o.y, o.radius, o.zoom), o.rect);
}

INSTANTIATE_TEST_SUITE_P(Sizes, OutlineRect,
                         testing::Values(Outline{50, 60, 10, 100, {40, 50, 60, 70}},
                                         Outline{5, 5, 10, 150, {-10, -10, 20, 20}},
                                         Outline{0, 0, 1, 150, {-1, -1, 1, 1}}, // d = 1.5
                                         Outline{0, 0, 3, 10, {0, 0, 0, 0}},    // d = 0.3
                                         Outline{100, 3, 7, 1000, {30, -67, 170, 73}},
                                         Outline{20, 20, 5, 30, {18, 18, 21, 21}})); // d = 1.5

} // namespace
