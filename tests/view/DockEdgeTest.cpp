// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/DockEdge.h"

#include <gtest/gtest.h>

namespace {

using view::DockEdge;

struct EdgeCase {
    const char *name;
    double x;
    double y;
    DockEdge edge;
};

constexpr double kW = 764;
constexpr double kH = 485;

class DockTargetEdgeTest : public testing::TestWithParam<EdgeCase> {};

TEST_P(DockTargetEdgeTest, DiagonalsSplitTheArea)
{
    const EdgeCase &c = GetParam();
    EXPECT_EQ(view::DockTargetEdge(c.x, c.y, kW, kH), c.edge);
}

INSTANTIATE_TEST_SUITE_P(
    Points, DockTargetEdgeTest,
    testing::Values(EdgeCase{"Centre", kW / 2, kH / 2, DockEdge::Right},
                    EdgeCase{"TopLeftCorner", 0, 0, DockEdge::Top},
                    EdgeCase{"TopMiddle", kW / 2, 5, DockEdge::Top},
                    EdgeCase{"RightMiddle", kW - 5, kH / 2, DockEdge::Right},
                    EdgeCase{"LeftMiddle", 5, kH / 2, DockEdge::Left},
                    EdgeCase{"BottomMiddle", kW / 2, kH - 5, DockEdge::Bottom},
                    EdgeCase{"TopRightCorner", kW, 0, DockEdge::Right},
                    EdgeCase{"BottomLeftCorner", 0, kH, DockEdge::Bottom},
                    EdgeCase{"BottomRightCorner", kW, kH, DockEdge::Right},
                    EdgeCase{"JustBelowMainDiagonalLeftHalf", 100, 100 * kH / kW + 0.01,
                             DockEdge::Left},
                    EdgeCase{"OutsideToTheRight", kW + 50, kH / 2, DockEdge::Right},
                    EdgeCase{"OutsideAbove", kW / 2, -20, DockEdge::Top}),
    [](const testing::TestParamInfo<EdgeCase> &p) { return std::string(p.param.name); });

TEST(DockTargetEdge, EmptyAreaGivesLeft)
{
    EXPECT_EQ(view::DockTargetEdge(0, 0, 0, 100), DockEdge::Left);
    EXPECT_EQ(view::DockTargetEdge(0, 0, 100, 0), DockEdge::Left);
}

} // namespace
