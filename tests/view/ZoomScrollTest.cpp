// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ZoomScroll.h"

#include "view/ViewSize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// The raster pixel a view pixel shows at zoom, as the nearest-neighbour view draws it.
int64_t Shown(int32_t side, int32_t zoom, int64_t viewPixel)
{
    return viewPixel * side / view::ScaledSize(side, zoom);
}

// The view pixel a zoom about a point puts under it, found by looking at every view
// pixel: of those showing the same raster pixel, the one holding the scaled place, else
// the nearest; with none (below zoom 100, or beside the picture), the one holding it.
int64_t ReferencePixel(int32_t side, int64_t v, int32_t oldZoom, int32_t newZoom)
{
    const double oldSide = view::ScaledSize(side, oldZoom);
    const int64_t newSide = view::ScaledSize(side, newZoom);
    const double place = (double(v) + 0.5) * double(newSide) / oldSide;
    const int64_t holding = int64_t(std::floor(place));
    if (v < 0 || v >= int64_t(oldSide))
        return holding;
    const int64_t raster = Shown(side, oldZoom, v);
    int64_t first = -1, last = -1;
    for (int64_t x = 0; x < newSide; ++x)
        if (Shown(side, newZoom, x) == raster) {
            if (first < 0)
                first = x;
            last = x;
        }
    if (first < 0)
        return holding;
    if (holding < first)
        return first;
    if (holding > last)
        return last;
    return holding;
}

struct ZoomCase {
    int32_t side, scroll, at, oldZoom, newZoom, expected;
};

class ScrollForZoomCases : public testing::TestWithParam<ZoomCase> {};

TEST_P(ScrollForZoomCases, WorkedExamples)
{
    const ZoomCase &c = GetParam();
    EXPECT_EQ(view::ScrollForZoom(c.side, c.scroll, c.at, c.oldZoom, c.newZoom), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ScrollForZoomCases,
    testing::Values(
        // Raster pixel 5 at zoom 100 is view pixels 15..17 at 300: the middle one.
        ZoomCase{1000, 0, 5, 100, 300, 11},
        // ... and each of them goes back to 5 at 100.
        ZoomCase{1000, 10, 5, 300, 100, 0}, ZoomCase{1000, 12, 5, 300, 100, 0},
        // No zoom change, no scroll.
        ZoomCase{1000, 250, 300, 300, 300, 250},
        // 300 to 310 at view pixel 900 (raster 300): 930..933, the place 930.5.
        ZoomCase{1000, 600, 300, 300, 310, 630},
        // 150 on 101 pixels is 151 wide, columns 2, 1, 2, 1: view 2 shows raster 1,
        // which is view 1 at 100.
        ZoomCase{101, 0, 2, 150, 100, -1},
        // Beside the picture the place is scaled: 0.5 + 400 of a 200-pixel view.
        ZoomCase{100, 0, 400, 200, 100, -200},
        // An empty view keeps nothing.
        ZoomCase{100, 40, 10, 0, 100, 0}, ZoomCase{100, 40, 10, 100, -5, 0}));

// Against the reference over random sides, zooms and points; from zoom 100 up the raster
// pixel under the point never changes.
TEST(ScrollForZoom, MatchesTheReferenceAndKeepsTheRasterPixel)
{
    std::mt19937 random(26);
    for (int i = 0; i < 4000; ++i) {
        const int32_t side = std::uniform_int_distribution<int32_t>(10, 700)(random);
        const int32_t oldZoom = 10 * std::uniform_int_distribution<int32_t>(1, 40)(random);
        const int32_t newZoom = 10 * std::uniform_int_distribution<int32_t>(1, 40)(random);
        const int32_t oldSide = view::ScaledSize(side, oldZoom);
        const int32_t v = std::uniform_int_distribution<int32_t>(-20, oldSide + 20)(random);
        const int32_t at = std::uniform_int_distribution<int32_t>(0, 800)(random);
        const int32_t scroll = v - at;
        const int64_t got = int64_t(view::ScrollForZoom(side, scroll, at, oldZoom, newZoom)) + at;
        ASSERT_EQ(got, ReferencePixel(side, v, oldZoom, newZoom))
            << "side " << side << " view " << v << " zoom " << oldZoom << " to " << newZoom;
        if (newZoom >= 100 && v >= 0 && v < oldSide) {
            ASSERT_EQ(Shown(side, newZoom, got), Shown(side, oldZoom, v))
                << "side " << side << " view " << v << " zoom " << oldZoom << " to " << newZoom;
        }
    }
}

// A picture of a million pixels a side at the largest zoom stays in range.
TEST(ScrollForZoom, LargeViewsDoNotOverflow)
{
    EXPECT_EQ(view::ScrollForZoom(1'000'000, 9'999'000, 500, 1000, 1000), 9'999'000);
    EXPECT_EQ(view::ScrollForZoom(1'000'000, 999'000, 500, 100, 1000), 9'994'505);
}

} // namespace
