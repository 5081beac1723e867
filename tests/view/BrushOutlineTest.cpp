// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/BrushOutline.h"

#include "view/BrushGeometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct OutlineCase {
    int32_t radius;
    int32_t zoom;
    bool drawn;
};

class BrushOutlineSize : public testing::TestWithParam<OutlineCase> {};

// Every brush the fields allow is drawn; what only numbers still being typed give is
// not, whichever way round its rectangle comes out.
TEST_P(BrushOutlineSize, OnlyOutlinesThatCanBeTracedQuicklyAreDrawn)
{
    const OutlineCase &c = GetParam();
    const std::optional<Rect> outline = view::BrushOutline(500, 400, c.radius, c.zoom);
    EXPECT_EQ(outline.has_value(), c.drawn) << c.radius << " at " << c.zoom;
    if (outline) {
        EXPECT_EQ(*outline, view::BrushOutlineRect(500, 400, c.radius, c.zoom));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BrushOutlineSize,
    testing::Values(OutlineCase{1, 10, true}, OutlineCase{100, 1000, true},
                    OutlineCase{-100, 1000, true}, OutlineCase{32767, 100, true},
                    OutlineCase{5000, 5000, false}, OutlineCase{-1, INT_MAX, false},
                    OutlineCase{32767, INT_MAX, false}, OutlineCase{INT_MAX, 1000, false}));

} // namespace
