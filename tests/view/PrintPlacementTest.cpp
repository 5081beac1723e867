// SPDX-License-Identifier: GPL-3.0-or-later
// Where the picture lands on the page: worked cases in a table, then properties every
// placement must have, over many random pages, pictures and choices.
#include "view/PrintPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

namespace {

using view::PrintChoice;
using view::PrintPage;
using view::PrintSize;

// 1000 x 1400 paper with a 50-pixel margin: an area of 900 x 1300.
const PrintPage kPage{1000, 1400, Rect{50, 50, 950, 1350}};

PrintChoice Choose(PrintSize size, int32_t widthPercent, int32_t heightPercent, bool aspect,
                   bool centred)
{
    return PrintChoice{size, widthPercent, heightPercent, aspect, centred};
}

struct PlacementCase {
    const char *name;
    PrintPage page;
    int32_t pictureWidth;
    int32_t pictureHeight;
    PrintChoice choice;
    Rect expected;
};

class PrintPlacementTable : public testing::TestWithParam<PlacementCase> {};

TEST_P(PrintPlacementTable, LandsWhereExpected)
{
    const PlacementCase &c = GetParam();
    const Rect r = view::PrintPlacement(c.page, c.pictureWidth, c.pictureHeight, c.choice);
    EXPECT_EQ(r, c.expected) << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
}

constexpr auto Full = PrintSize::UsePageFully;
constexpr auto User = PrintSize::UserDefined;

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintPlacementTable,
    testing::Values(
        // A landscape picture on portrait paper: the width fills, 640:480 = 900:675.
        PlacementCase{"FullAspectCentred", kPage, 640, 480, Choose(Full, 50, 50, true, true),
                      Rect{50, 362, 950, 1037}},
        PlacementCase{"FullAspectTopLeft", kPage, 640, 480, Choose(Full, 50, 50, true, false),
                      Rect{50, 50, 950, 725}},
        PlacementCase{"FullStretched", kPage, 640, 480, Choose(Full, 10, 90, false, true),
                      Rect{50, 50, 950, 1350}},
        // A tall picture: the height fills, 100:1000 = 130:1300.
        PlacementCase{"FullTallPicture", kPage, 100, 1000, Choose(Full, 50, 50, true, true),
                      Rect{435, 50, 565, 1350}},
        // 50 % of 900 is 450; the height follows: 450 x 480 / 640 = 337.5, rounded up.
        PlacementCase{"UserHalfAspectCentred", kPage, 640, 480, Choose(User, 50, 50, true, true),
                      Rect{275, 531, 725, 869}},
        PlacementCase{"UserHeightIgnoredWithAspect", kPage, 640, 480,
                      Choose(User, 50, 7, true, false), Rect{50, 50, 500, 388}},
        PlacementCase{"UserBothPercentages", kPage, 640, 480, Choose(User, 50, 30, false, false),
                      Rect{50, 50, 500, 440}},
        // The height that follows 100 % of the width would be 9000: both sides shrink
        // until the height fits.
        PlacementCase{"UserAspectTooTallShrinks", kPage, 100, 1000,
                      Choose(User, 100, 50, true, true), Rect{435, 50, 565, 1350}},
        // Out-of-range percentages are held to 1..100.
        PlacementCase{"UserPercentagesClamped", kPage, 640, 480, Choose(User, 0, 250, false, false),
                      Rect{50, 50, 59, 1350}},
        // 48 % of 101 is 48, leaving 53: the odd pixel goes right (and below).
        PlacementCase{"OddLeftOverGoesRight", PrintPage{101, 12, Rect{0, 0, 101, 12}}, 10, 1,
                      Choose(User, 48, 50, false, true), Rect{26, 3, 74, 9}},
        // Nothing is less than a pixel.
        PlacementCase{"AtLeastOnePixel", PrintPage{3, 2, Rect{0, 0, 3, 2}}, 1000, 1,
                      Choose(Full, 50, 50, true, true), Rect{0, 0, 3, 1}},
        // A printable area reaching past the paper is cut to it.
        PlacementCase{"PrintableCutToPaper", PrintPage{100, 100, Rect{-10, -10, 110, 90}}, 5, 5,
                      Choose(Full, 50, 50, false, true), Rect{0, 0, 100, 90}},
        PlacementCase{"NoPicture", kPage, 0, 480, Choose(Full, 50, 50, true, true), Rect{}},
        PlacementCase{"NoPrintableArea", PrintPage{100, 100, Rect{60, 0, 40, 100}}, 5, 5,
                      Choose(Full, 50, 50, true, true), Rect{}}),
    [](const testing::TestParamInfo<PlacementCase> &p) { return std::string(p.param.name); });

// round(a x b / c), halves up, as the placement rounds.
int64_t Rounded(int64_t a, int64_t b, int64_t c)
{
    return (2 * a * b + c) / (2 * c);
}

TEST(PrintPlacementProperties, HoldForRandomPagesPicturesAndChoices)
{
    std::mt19937 gen(20260113);
    auto pick = [&gen](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    for (int i = 0; i < 20000; ++i) {
        PrintPage page{pick(1, 20000), pick(1, 20000), {}};
        page.Printable = Rect{pick(0, page.Width - 1), pick(0, page.Height - 1), 0, 0};
        page.Printable.Right = pick(page.Printable.Left + 1, page.Width);
        page.Printable.Bottom = pick(page.Printable.Top + 1, page.Height);
        const int32_t pw = pick(1, 40000);
        const int32_t ph = pick(1, 40000);
        const PrintChoice choice{pick(0, 1) ? PrintSize::UserDefined : PrintSize::UsePageFully,
                                 pick(1, 100), pick(1, 100), pick(0, 1) == 1, pick(0, 1) == 1};
        const Rect r = view::PrintPlacement(page, pw, ph, choice);
        const Rect &a = page.Printable;
        SCOPED_TRACE(testing::Message() << "case " << i << " area " << a.Width() << "x"
                                        << a.Height() << " picture " << pw << "x" << ph);

        // Inside the printable area, never empty.
        ASSERT_GE(r.Left, a.Left);
        ASSERT_GE(r.Top, a.Top);
        ASSERT_LE(r.Right, a.Right);
        ASSERT_LE(r.Bottom, a.Bottom);
        ASSERT_GE(r.Width(), 1);
        ASSERT_GE(r.Height(), 1);

        // Centred: the gaps on either side differ by at most the odd pixel, which goes
        // right and below; else the top-left corner of the area.
        if (choice.Centred) {
            const int32_t dx = (a.Right - r.Right) - (r.Left - a.Left);
            const int32_t dy = (a.Bottom - r.Bottom) - (r.Top - a.Top);
            ASSERT_TRUE(dx == 0 || dx == 1) << dx;
            ASSERT_TRUE(dy == 0 || dy == 1) << dy;
        } else {
            ASSERT_EQ(r.Left, a.Left);
            ASSERT_EQ(r.Top, a.Top);
        }

        const int64_t w = r.Width();
        const int64_t h = r.Height();
        const int64_t wantWidth =
            std::max<int64_t>(1, Rounded(a.Width(), choice.WidthPercent, 100));
        if (choice.KeepAspect) {
            // One side is given (the area's, or the width's percentage); the other one
            // follows from the picture's proportions to half a pixel, unless it is held
            // at 1 pixel.
            const int64_t err = std::llabs(w * ph - h * pw);
            const bool heightFollows = h == 1 || 2 * err <= pw;
            const bool widthFollows = w == 1 || 2 * err <= ph;
            if (choice.Size == PrintSize::UsePageFully)
                ASSERT_TRUE((w == a.Width() && heightFollows) || (h == a.Height() && widthFollows));
            else
                ASSERT_TRUE((w == wantWidth && heightFollows)
                            || (h == a.Height() && w <= wantWidth && widthFollows));
        } else if (choice.Size == PrintSize::UsePageFully) {
            ASSERT_EQ(w, a.Width());
            ASSERT_EQ(h, a.Height());
        } else {
            ASSERT_EQ(w, wantWidth);
            ASSERT_EQ(h, std::max<int64_t>(1, Rounded(a.Height(), choice.HeightPercent, 100)));
        }
    }
}

} // namespace
