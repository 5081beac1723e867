// SPDX-License-Identifier: GPL-3.0-or-later
// Pens, brushes, mix modes and the shapes drawn with them.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/ShapePixels.h"
#include "platform/gdi/TestDC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

// Noise, so an inversion that hits a pixel twice or misses one shows.
void FillNoise(QImage &image)
{
    uint32_t seed = 12345;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            image.setPixel(x, y, 0xff000000u | (seed >> 8));
        }
}

struct Box {
    int left, top, right, bottom;
};

class EllipseBoxes : public ::testing::TestWithParam<Box> {};

TEST_P(EllipseBoxes, InvertingOutlineTwiceRestoresEveryPixel)
{
    const Box b = GetParam();
    gdi::TestDC dc({.width = 48, .height = 40});
    FillNoise(dc.Image());
    dc.SetClip(QRect(2, 3, 40, 30)); // some boxes reach past the clip
    const QImage before = dc.Image().copy();
    SelectObject(&dc, GetStockObject(HOLLOW_BRUSH));
    SetROP2(&dc, R2_NOT);
    Ellipse(&dc, b.left, b.top, b.right, b.bottom);
    EXPECT_NE(dc.Image(), before);
    Ellipse(&dc, b.left, b.top, b.right, b.bottom);
    EXPECT_EQ(dc.Image(), before);
}

TEST_P(EllipseBoxes, OutlineFillsTheBoxAndIsSymmetric)
{
    const Box b = GetParam();
    const gdi::ShapePixels shape = gdi::EllipsePixels(b.left, b.top, b.right, b.bottom);
    const int l = std::min(b.left, b.right), r = std::max(b.left, b.right);
    const int t = std::min(b.top, b.bottom), btm = std::max(b.top, b.bottom);
    ASSERT_FALSE(shape.outline.empty());
    std::set<std::pair<int, int>> points;
    int minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
    for (const QPoint &p : shape.outline) {
        EXPECT_TRUE(points.insert({p.x(), p.y()}).second) << "pixel listed twice";
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    // Right and bottom are exclusive: the outline touches l, r - 1, t and btm - 1.
    EXPECT_EQ(minX, l);
    EXPECT_EQ(maxX, r - 1);
    EXPECT_EQ(minY, t);
    EXPECT_EQ(maxY, btm - 1);
    for (const auto &[x, y] : points) {
        EXPECT_TRUE(points.count({l + r - 1 - x, y})) << "mirror of " << x << "," << y;
        EXPECT_TRUE(points.count({x, t + btm - 1 - y})) << "mirror of " << x << "," << y;
    }
    for (const gdi::Span &s : shape.interior)
        for (int x = s.left; x <= s.right; ++x)
            EXPECT_FALSE(points.count({x, s.y})) << "interior pixel on the outline";
}

INSTANTIATE_TEST_SUITE_P(Sizes, EllipseBoxes,
                         ::testing::Values(Box{10, 10, 30, 30}, Box{10, 10, 31, 24},
                                           Box{5, 6, 6, 20}, Box{5, 6, 30, 7}, Box{8, 8, 10, 10},
                                           Box{8, 8, 11, 11}, Box{30, 25, 12, 9},
                                           Box{-10, -6, 20, 18}, Box{30, 20, 60, 50},
                                           Box{4, 4, 44, 12}));

TEST(Shapes, EllipseCutToAKeepRectangleIsTheWholeEllipseCut)
{
    // Random boxes, from a pixel to far beyond the kept part, and random parts to keep.
    std::mt19937 rng(5);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 400; ++round) {
        const int size = round % 4 == 0 ? 900 : 60;
        const int left = pick(-size, size), top = pick(-size, size);
        const int right = left + pick(1, 2 * size), bottom = top + pick(1, 2 * size);
        const QRect keep(pick(-70, 70), pick(-70, 70), pick(1, 90), pick(1, 90));
        const gdi::ShapePixels whole = gdi::EllipsePixels(left, top, right, bottom);
        const gdi::ShapePixels cut = gdi::EllipsePixels(left, top, right, bottom, keep);
        std::vector<QPoint> outline;
        for (const QPoint &p : whole.outline)
            if (keep.contains(p))
                outline.push_back(p);
        ASSERT_EQ(cut.outline, outline) << left << "," << top << "," << right << "," << bottom;
        std::set<std::pair<int, int>> inside, cutInside;
        for (const gdi::Span &sp : whole.interior)
            for (int x = sp.left; x <= sp.right; ++x)
                if (keep.contains(x, sp.y))
                    inside.insert({x, sp.y});
        for (const gdi::Span &sp : cut.interior)
            for (int x = sp.left; x <= sp.right; ++x)
                cutInside.insert({x, sp.y});
        ASSERT_EQ(cutInside, inside) << left << "," << top << "," << right << "," << bottom;
    }
}

TEST(Shapes, EmptyBoxesDrawNothing)
{
    EXPECT_TRUE(gdi::EllipsePixels(5, 5, 5, 20).outline.empty());
    EXPECT_TRUE(gdi::RectanglePixels(5, 5, 20, 5).outline.empty());
}

TEST(Shapes, FilledEllipseUsesBrushInsidePenOnTheOutline)
{
    gdi::TestDC dc({.width = 20, .height = 20, .background = 0xff000000u});
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ oldBrush = SelectObject(&dc, brush);
    HGDIOBJ oldPen = SelectObject(&dc, pen);
    Ellipse(&dc, 2, 2, 18, 14);
    EXPECT_EQ(dc.Image().pixel(9, 7), qRgb(0, 0, 255));
    EXPECT_EQ(dc.Image().pixel(2, 7), qRgb(255, 0, 0));
    EXPECT_EQ(dc.Image().pixel(2, 2), qRgb(0, 0, 0)) << "corner of the box is outside";
    // Deleting objects while selected must not disturb the DC's drawing.
    DeleteObject(pen);
    DeleteObject(brush);
    Ellipse(&dc, 2, 2, 18, 14);
    EXPECT_EQ(dc.Image().pixel(9, 7), qRgb(0, 0, 255));
    EXPECT_TRUE(DeleteObject(oldPen)) << "stock objects are never freed";
    EXPECT_TRUE(DeleteObject(oldBrush));
}

TEST(Shapes, RectangleAndFillRectAreRightBottomExclusive)
{
    gdi::TestDC dc({.width = 10, .height = 10, .background = 0xff000000u});
    SelectObject(&dc, GetStockObject(WHITE_PEN));
    SelectObject(&dc, GetStockObject(BLACK_BRUSH));
    Rectangle(&dc, 1, 1, 5, 4);
    EXPECT_EQ(dc.Image().pixel(4, 3), qRgb(255, 255, 255));
    EXPECT_EQ(dc.Image().pixel(5, 3), qRgb(0, 0, 0));
    EXPECT_EQ(dc.Image().pixel(2, 2), qRgb(0, 0, 0));
    // FillRect paints the brush colour even in R2_NOT.
    SetROP2(&dc, R2_NOT);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    const RECT rect{6, 6, 8, 9};
    FillRect(&dc, &rect, green);
    EXPECT_EQ(dc.Image().pixel(7, 8), qRgb(0, 255, 0));
    EXPECT_EQ(dc.Image().pixel(8, 8), qRgb(0, 0, 0));
    EXPECT_EQ(dc.Image().pixel(7, 9), qRgb(0, 0, 0));
    DeleteObject(green);
}

TEST(DcState, ModesAndPalettesReturnWhatTheyReplace)
{
    gdi::TestDC dc({.screenBits = 8, .printer = true, .dibToDevice = false});
    EXPECT_EQ(GetDeviceCaps(&dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(&dc, RASTERCAPS) & RC_DIBTODEV, 0);
    EXPECT_EQ(GetDeviceCaps(&dc, BITSPIXEL), 8);
    EXPECT_EQ(SetROP2(&dc, R2_NOT), R2_COPYPEN);
    EXPECT_EQ(SetROP2(&dc, R2_COPYPEN), R2_NOT);
    EXPECT_NE(SetStretchBltMode(&dc, COLORONCOLOR), COLORONCOLOR);
    EXPECT_EQ(GetStretchBltMode(&dc), COLORONCOLOR);
    LOGPALETTE256 logical{};
    logical.palVersion = 0x300;
    logical.palNumEntries = 16;
    HPALETTE palette = CreatePalette(logical);
    EXPECT_EQ(SelectPalette(&dc, palette, false), nullptr);
    EXPECT_EQ(RealizePalette(&dc), 16);
    EXPECT_EQ(SelectPalette(&dc, nullptr, false), palette);
    EXPECT_EQ(RealizePalette(&dc), 0);
    DeletePalette(palette);
}

} // namespace
