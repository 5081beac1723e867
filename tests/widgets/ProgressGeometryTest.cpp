// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ProgressGeometry.h"
#include "document/ProgressSink.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct BarCase {
    Rect panel;
    int32_t percent;
    int32_t right; // expected BarRight
};

class ProgressBarRectTest : public testing::TestWithParam<BarCase> {};

TEST_P(ProgressBarRectTest, BarKeepsPanelTopLeftAndBottom)
{
    const BarCase &c = GetParam();
    const Rect bar = ProgressBarRect(c.panel, c.percent);
    EXPECT_EQ(bar.Left, c.panel.Left);
    EXPECT_EQ(bar.Top, c.panel.Top);
    EXPECT_EQ(bar.Bottom, c.panel.Bottom);
    EXPECT_EQ(bar.Right, c.right);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgressBarRectTest,
    testing::Values(
        // 200 x 33 = 6600 / 100; 150 x 33 = 4950 / 100 truncates to 49.
        BarCase{{0, 0, 200, 19}, 33, 66}, BarCase{{0, 0, 150, 19}, 33, 49},
        BarCase{{250, 2, 450, 19}, 33, 316}, BarCase{{250, 2, 400, 19}, 33, 299},
        // The ends: empty at 0, the whole panel at 100.
        BarCase{{250, 2, 764, 19}, 0, 250}, BarCase{{250, 2, 764, 19}, 100, 764},
        BarCase{{250, 2, 764, 19}, 1, 255}, BarCase{{250, 2, 764, 19}, 99, 758},
        // Out-of-range values stay inside the panel, also when the product would not
        // fit 32 bits.
        BarCase{{250, 2, 764, 19}, 150, 764}, BarCase{{250, 2, 764, 19}, -20, 250},
        BarCase{{250, 2, 764, 19}, INT_MAX, 764}, BarCase{{250, 2, 764, 19}, INT_MIN, 250},
        // A panel the status bar has not laid out yet.
        BarCase{{0, 0, 0, 0}, 50, 0}));

struct RowCase {
    int32_t y;
    int32_t rows;
    int32_t percent;
};

class RowProgressTest : public testing::TestWithParam<RowCase> {};

TEST_P(RowProgressTest, ReportsRowTimesHundredOverLastRow)
{
    const RowCase &c = GetParam();
    EXPECT_EQ(document::RowProgress(c.y, c.rows), c.percent);
}

INSTANTIATE_TEST_SUITE_P(Table, RowProgressTest,
                         testing::Values(RowCase{0, 3, 0}, RowCase{1, 3, 50}, RowCase{2, 3, 100},
                                         RowCase{1, 4, 33}, RowCase{2, 4, 66}, RowCase{3, 4, 100},
                                         RowCase{0, 2, 0}, RowCase{1, 2, 100},
                                         // The only row of a one-row picture is also its last.
                                         RowCase{0, 1, 100},
                                         // The largest picture side still fits 32 bits.
                                         RowCase{32766, 32767, 100}, RowCase{16383, 32767, 50}));

TEST(RowProgress, RisesMonotonicallyToHundred)
{
    for (int32_t rows : {2, 7, 100, 1001}) {
        int32_t last = -1;
        for (int32_t y = 0; y < rows; ++y) {
            const int32_t p = document::RowProgress(y, rows);
            EXPECT_GE(p, last) << rows << " rows, row " << y;
            last = p;
        }
        EXPECT_EQ(last, 100);
    }
}

} // namespace
