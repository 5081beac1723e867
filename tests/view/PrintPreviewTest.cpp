// SPDX-License-Identifier: GPL-3.0-or-later
// The print preview: the paper in its box, page rectangles on the paper, and the
// drawing, which must show the picture exactly where the placement puts it.
#include "view/PrintPreview.h"
#include "platform/gdi/TestDC.h"
#include "platform/rastix/Rastix.h"

#include <gtest/gtest.h>

namespace {

using view::PrintChoice;
using view::PrintPage;
using view::PrintSize;

TEST(PreviewPaper, KeepsThePagesProportionsInsideTheMargin)
{
    // A4 at 1200 dots per inch: 9917 x 14033; in 171 pixels, 121 wide.
    EXPECT_EQ(view::PreviewPaper(PrintPage{9917, 14033, {}}, 187, 187, 8), (Rect{33, 8, 154, 179}));
    EXPECT_EQ(view::PreviewPaper(PrintPage{14033, 9917, {}}, 187, 187, 8), (Rect{8, 33, 179, 154}));
    EXPECT_EQ(view::PreviewPaper(PrintPage{500, 500, {}}, 16, 16, 8), Rect{});
}

struct MapCase {
    const char *name;
    Rect onPage;
    Rect expected;
};

class PageToPreviewTable : public testing::TestWithParam<MapCase> {};

TEST_P(PageToPreviewTable, ScalesEveryEdge)
{
    const MapCase &c = GetParam();
    const PrintPage page{1000, 2000, {}};
    const Rect paper{10, 10, 110, 210}; // a tenth
    EXPECT_EQ(view::PageToPreview(c.onPage, page, paper), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rects, PageToPreviewTable,
    testing::Values(MapCase{"WholePage", Rect{0, 0, 1000, 2000}, Rect{10, 10, 110, 210}},
                    MapCase{"Inside", Rect{500, 250, 750, 2000}, Rect{60, 35, 85, 210}},
                    MapCase{"HalvesRoundUp", Rect{5, 15, 14, 24}, Rect{11, 12, 11 + 1, 12 + 1}},
                    MapCase{"TinyStaysVisible", Rect{3, 3, 4, 4}, Rect{10, 10, 11, 11}},
                    MapCase{"TinyAtTheRightEdgeStaysOnPaper", Rect{999, 1999, 1000, 2000},
                            Rect{109, 209, 110, 210}},
                    MapCase{"CutToThePage", Rect{-500, -10, 500, 3000}, Rect{10, 10, 60, 210}},
                    MapCase{"OffThePage", Rect{1200, 0, 1300, 10}, Rect{}}),
    [](const testing::TestParamInfo<MapCase> &p) { return std::string(p.param.name); });

constexpr QRgb kRed = 0xffff0000u;
constexpr QRgb kWhite = 0xffffffffu;
constexpr QRgb kFace = 0xffd4d0c8u;

class PaintPrintPreviewTest : public testing::TestWithParam<PrintChoice> {};

TEST_P(PaintPrintPreviewTest, ShowsThePictureWherePlacedAndOnlyThere)
{
    const PrintChoice choice = GetParam();
    const PrintPage page{1000, 1400, Rect{50, 50, 950, 1350}};
    RasterImage red = newdib(64, 48, 24, nullptr, 0);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            setpixel(red, x, y, 0x0000ffu); // screen colour: red in the low byte
    gdi::TestDC dc({.width = 190, .height = 190});
    view::PaintPrintPreview(&dc, 190, 190, RGB(0xd4, 0xd0, 0xc8), page, red, choice);
    deldib(red);

    const Rect paper = view::PreviewPaper(page, 187, 187, view::kPreviewMargin);
    const Rect place = view::PageToPreview(view::PrintPlacement(page, 64, 48, choice), page, paper);
    const QImage &image = dc.Image();
    int redOutside = 0;
    for (int y = 0; y < 190; ++y)
        for (int x = 0; x < 190; ++x) {
            const bool inPlace =
                x >= place.Left && x < place.Right && y >= place.Top && y < place.Bottom;
            if (inPlace)
                ASSERT_EQ(image.pixel(x, y), kRed) << x << "," << y;
            else if (image.pixel(x, y) == kRed)
                ++redOutside;
        }
    EXPECT_EQ(redOutside, 0);
    EXPECT_EQ(image.pixel(1, 1), kFace);
    // The paper's own corner inside its edge is white, and its shadow shows below it.
    EXPECT_EQ(image.pixel(paper.Left + 1, paper.Bottom - 2), kWhite);
    EXPECT_EQ(image.pixel(paper.Left + 4, paper.Bottom + 1), 0xff808080u);
    EXPECT_EQ(image.pixel(paper.Left, paper.Top), 0xff000000u);
}

INSTANTIATE_TEST_SUITE_P(Choices, PaintPrintPreviewTest,
                         testing::Values(PrintChoice{PrintSize::UsePageFully, 50, 50, true, true},
                                         PrintChoice{PrintSize::UsePageFully, 50, 50, false, false},
                                         PrintChoice{PrintSize::UserDefined, 30, 50, true, false},
                                         PrintChoice{PrintSize::UserDefined, 70, 20, false, true}));

} // namespace
