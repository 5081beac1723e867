// SPDX-License-Identifier: GPL-3.0-or-later
// DrawRaster on test device contexts: nearest-neighbour scaling, cutting the source to
// the raster, which path runs for which raster and device, and the fallbacks.
#include "view/DrawRaster.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TestDC.h"
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"
#include "view/DrawRows.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr QRgb kBackground = 0xff808080u;
constexpr QRgb kBlack = 0xff000000u;

// A raster whose every pixel has its own colour: red = x, green = y, blue = x ^ y
// (indexed rasters use a pattern index into a table of distinct colours).
class Raster {
public:
    Raster(int width, int height, int depth = 24)
        : raster_(newdib(width, height, depth, nullptr, 0))
    {
        if (depth <= 8) {
            for (int i = 0; i < (1 << depth); ++i)
                raster_.ColourTable()[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
        }
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                setpixel(raster_, x, y,
                         depth == 24 ? uint32_t(x & 255) | uint32_t(y & 255) << 8
                                           | uint32_t((x ^ y) & 255) << 16
                                     : uint32_t(x + 5 * y) % (1u << depth));
        rgb_ = testsupport::RasterToRgb(raster_);
    }
    ~Raster() { deldib(raster_); }
    Raster(const Raster &) = delete;
    Raster &operator=(const Raster &) = delete;

    const RasterImage &get() const { return raster_; }
    int width() const { return RasterWidth(raster_); }
    int height() const { return RasterHeight(raster_); }
    QRgb at(int x, int y) const { return qRgb(rgb_.r(x, y), rgb_.g(x, y), rgb_.b(x, y)); }

private:
    RasterImage raster_;
    testsupport::RgbPicture rgb_;
};

// The whole raster at (0, 0) in dw x dh, as the picture view draws it.
void DrawWhole(HDC dc, const Raster &r, int dw, int dh)
{
    DrawRaster(dc, 0, 0, dw, dh, r.get(), 0, 0, r.width(), r.height(), true, SRCCOPY, true,
               nullptr);
}

struct Scale {
    int sw, sh, dw, dh;
};

class NearestNeighbour : public ::testing::TestWithParam<Scale> {};

TEST_P(NearestNeighbour, EveryDestinationPixelShowsFloorOfItsScaledPosition)
{
    const Scale s = GetParam();
    Raster r(s.sw, s.sh);
    gdi::TestDC dc({.width = s.dw + 2, .height = s.dh + 2});
    DrawWhole(&dc, r, s.dw, s.dh);
    for (int y = 0; y < s.dh + 2; ++y)
        for (int x = 0; x < s.dw + 2; ++x)
            ASSERT_EQ(dc.Image().pixel(x, y),
                      x < s.dw && y < s.dh ? r.at(x * s.sw / s.dw, y * s.sh / s.dh) : kBackground)
                << x << "," << y;
    EXPECT_EQ(dc.CountOf("SetDIBitsToDevice"), s.dh) << "one transfer per destination row";
    EXPECT_EQ(dc.CountOf("StretchDIBits"), 0);
    EXPECT_EQ(GetStretchBltMode(&dc), COLORONCOLOR);
}

INSTANTIATE_TEST_SUITE_P(Sizes, NearestNeighbour,
                         ::testing::Values(Scale{3, 2, 6, 4}, Scale{100, 3, 150, 5},
                                           Scale{40, 30, 20, 15}, Scale{7, 5, 7, 5},
                                           Scale{9, 4, 31, 13}, Scale{33, 17, 5, 3}));

// The colour Raster gives a 24-bit picture's pixel (x, y), written out again.
QRgb PatternColour(int x, int y)
{
    return qRgb(x & 255, y & 255, (x ^ y) & 255);
}

// Worked cases of scaling and cutting: a 24-bit Raster drawn by the calls onto a test
// device context of its own size, and the picture pixel each device pixel then shows
// (nothing: the background).
struct DrawCall {
    int x, y, w, h;     // destination
    int sx, sy, sw, sh; // source, rows counted from the bottom as in a DIB
};
struct DrawCase {
    const char *name;
    int rasterWidth, rasterHeight, dcWidth, dcHeight;
    std::vector<DrawCall> calls;
    std::function<std::optional<QPoint>(int x, int y)> shows;
    int transfers = -1; // SetDIBitsToDevice calls the case must make; -1: not counted
};

class DrawCases : public ::testing::TestWithParam<DrawCase> {};

TEST_P(DrawCases, EachDevicePixelShowsItsPicturePixel)
{
    const DrawCase &c = GetParam();
    Raster r(c.rasterWidth, c.rasterHeight);
    gdi::TestDC dc({.width = c.dcWidth, .height = c.dcHeight});
    for (const DrawCall &d : c.calls)
        DrawRaster(&dc, d.x, d.y, d.w, d.h, r.get(), d.sx, d.sy, d.sw, d.sh, true, SRCCOPY, true,
                   nullptr);
    for (int y = 0; y < c.dcHeight; ++y)
        for (int x = 0; x < c.dcWidth; ++x) {
            const std::optional<QPoint> at = c.shows(x, y);
            ASSERT_EQ(dc.Image().pixel(x, y), at ? PatternColour(at->x(), at->y()) : kBackground)
                << x << "," << y;
        }
    if (c.transfers >= 0) {
        EXPECT_EQ(dc.CountOf("SetDIBitsToDevice"), c.transfers);
    }
}

DrawCall Whole(int rasterWidth, int rasterHeight, int w, int h)
{
    return {0, 0, w, h, 0, 0, rasterWidth, rasterHeight};
}

std::optional<QPoint> Inside(bool inside, int x, int y)
{
    return inside ? std::optional(QPoint(x, y)) : std::nullopt;
}

INSTANTIATE_TEST_SUITE_P(
    Worked, DrawCases,
    ::testing::Values(
        // Row 0 of the picture sits in the last memory row, yet appears at the top.
        DrawCase{"ThreeByTwoBecomesTwoByTwoBlocksTopRowFirst",
                 3,
                 2,
                 6,
                 4,
                 {Whole(3, 2, 6, 4)},
                 [](int x, int y) { return Inside(true, x / 2, y / 2); }},
        // Columns 0, 0, 1, 2, 2, 3, 4, 4, 5, ... 99.
        DrawCase{"HundredIntoHundredFiftyRepeatsColumnsTwoOneTwoOne",
                 100,
                 1,
                 150,
                 1,
                 {Whole(100, 1, 150, 1)},
                 [](int x, int) { return Inside(true, x * 100 / 150, 0); }},
        DrawCase{"HalfSizeShowsEverySecondColumnAndRow",
                 20,
                 10,
                 10,
                 5,
                 {Whole(20, 10, 10, 5)},
                 [](int x, int y) { return Inside(true, 2 * x, 2 * y); }},
        // Source 6..25 of a 10-wide raster: only 4 columns exist, so 40 becomes
        // round(40 x 4 / 20) = 8, from x = 2.
        DrawCase{"SourcePastTheRightEdgeShrinksTheDestinationWithTheLeftEdgeFixed",
                 10,
                 4,
                 50,
                 8,
                 {{2, 0, 40, 8, 6, 0, 20, 4}},
                 [](int x, int y) { return Inside(x >= 2 && x < 10, 6 + (x - 2) / 2, y / 2); }},
        // One column of a source 4 wide: 10 x 1 / 4 = 2.5 rounds to 2; 14 x 1 / 4 = 3.5 to 4.
        DrawCase{"CutsRoundHalvesToEven",
                 10,
                 4,
                 40,
                 4,
                 {{0, 0, 10, 1, 9, 0, 4, 4}, {20, 1, 14, 1, 9, 0, 4, 4}},
                 [](int x, int y) {
                     return Inside((y == 0 && x < 2) || (y == 1 && x >= 20 && x < 24), 9, 0);
                 }},
        // Rows 2..5 from the bottom: only 2 exist (the top two picture rows), so 8 becomes
        // 4, drawn in the lower half of the destination.
        DrawCase{"SourceAboveTheTopMovesTheDestinationDown",
                 4,
                 4,
                 4,
                 8,
                 {{0, 0, 4, 8, 0, 2, 4, 4}},
                 [](int x, int y) { return Inside(y >= 4, x, (y - 4) / 2); }},
        DrawCase{"ZeroOrEmptyDestinationDrawsNothing",
                 9,
                 9,
                 16,
                 16,
                 {Whole(9, 9, 0, 10),
                  Whole(9, 9, 10, 0),
                  {0, 0, 10, 10, 0, 0, 0, 9},
                  {0, 0, 10, 10, 20, 0, 5, 9}},
                 [](int, int) { return std::optional<QPoint>(); },
                 0}),
    [](const ::testing::TestParamInfo<DrawCase> &param) { return std::string(param.param.name); });

TEST(DrawRaster, ARasterWithoutPixelsDrawsNothing)
{
    gdi::TestDC dc({.width = 16, .height = 16});
    RasterImage failed; // no pixels
    DrawRaster(&dc, 0, 0, 10, 10, failed, 0, 0, 10, 10, true, SRCCOPY, true, nullptr);
    EXPECT_EQ(dc.CountOf("SetDIBitsToDevice"), 0);
    EXPECT_EQ(dc.Image().pixel(0, 0), kBackground);
}

TEST(DrawRows, ColumnsAndRowsOutsideTheRasterAreBlack)
{
    Raster r(4, 3);
    gdi::TestDC dc({.width = 8, .height = 5});
    // Source columns -2..5 and rows -1..3 (from the top) of a 4 x 3 raster.
    DrawRows24(&dc, 0, 0, 8, 5, r.get(), -2, -1, 8, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x) {
            const int sx = x - 2;
            const int sy = y - 1;
            const bool inside = sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
            EXPECT_EQ(dc.Image().pixel(x, y), inside ? r.at(sx, sy) : kBlack) << x << "," << y;
        }
}

TEST(DrawRaster, EightBitRasterUsesItsColourTableAndIsNeverHalftoned)
{
    Raster r(6, 4, 8);
    gdi::TestDC dc({.width = 12, .height = 8, .screenBits = 8});
    DrawWhole(&dc, r, 12, 8);
    EXPECT_EQ(dc.CountOf("StretchDIBits"), 0);
    EXPECT_EQ(dc.CountOf("SetDIBitsToDevice"), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(dc.Image().pixel(x, y), r.at(x / 2, y / 2));
}

// The halftoned copy drawn 1:1 at the given size, as the expected picture.
QImage HalftonedAt(const Raster &r, int width, int height)
{
    const RasterImage h = width == r.width() && height == r.height()
                              ? DIBHalftoneDIB(r.get())
                              : DIBHalftoneDIBXY(r.get(), width, height);
    const testsupport::RgbPicture rgb = testsupport::RasterToRgb(h);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(rgb.r(x, y), rgb.g(x, y), rgb.b(x, y)));
    deldib(h);
    return image;
}

TEST(DrawRaster, TrueColourOnAnEightBitScreenIsHalftoned)
{
    Raster r(16, 8);
    {
        // Shrinking: the library halftones straight to the drawing's size.
        gdi::TestDC dc({.width = 8, .height = 4, .screenBits = 8});
        DrawWhole(&dc, r, 8, 4);
        EXPECT_EQ(dc.CountOf("StretchDIBits"), 1);
        EXPECT_EQ(dc.CountOf("SetDIBitsToDevice"), 0);
        EXPECT_EQ(dc.Image(), HalftonedAt(r, 8, 4));
    }
    {
        // Enlarging: halftoned at the raster's size, then stretched.
        gdi::TestDC dc({.width = 32, .height = 16, .screenBits = 8});
        DrawWhole(&dc, r, 32, 16);
        const QImage halftoned = HalftonedAt(r, 16, 8);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(dc.Image().pixel(x, y), halftoned.pixel(x / 2, y / 2));
    }
    {
        // Not allowed: row by row as on a true-colour screen.
        gdi::TestDC dc({.width = 16, .height = 8, .screenBits = 8});
        DrawRaster(&dc, 0, 0, 16, 8, r.get(), 0, 0, 16, 8, false, SRCCOPY, true, nullptr);
        EXPECT_EQ(dc.CountOf("StretchDIBits"), 0);
        EXPECT_EQ(dc.Image().pixel(5, 3), r.at(5, 3));
    }
}

TEST(DrawRaster, PrinterTakesOneStretchDIBits)
{
    Raster r(5, 3);
    gdi::TestDC dc({.width = 10, .height = 6, .printer = true});
    DrawWhole(&dc, r, 10, 6);
    EXPECT_EQ(dc.CountOf("StretchDIBits"), 1);
    EXPECT_EQ(dc.CountOf("SetDIBitsToDevice"), 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(dc.Image().pixel(x, y), r.at(x / 2, y / 2));
}

TEST(DrawRaster, SelectsTheRastersPaletteOnlyWhenFlaggedAndRestoresThePrevious)
{
    Raster r(4, 4, 8);
    RasterImage flagged = r.get();
    flagged.PaletteFlag = 1;
    gdi::TestDC dc;
    LOGPALETTE256 logical{};
    logical.palNumEntries = 1;
    HPALETTE before = CreatePalette(logical);
    SelectPalette(&dc, before, false);
    DrawRaster(&dc, 0, 0, 4, 4, flagged, 0, 0, 4, 4, true, SRCCOPY, true, nullptr);
    EXPECT_EQ(dc.CountOf("SelectPalette"), 3); // ours, the raster's, the restore
    EXPECT_EQ(dc.CountOf("RealizePalette"), 1);
    EXPECT_EQ(SelectPalette(&dc, nullptr, false), before);
    DrawRaster(&dc, 0, 0, 4, 4, r.get(), 0, 0, 4, 4, true, SRCCOPY, true, nullptr);
    EXPECT_EQ(dc.CountOf("SelectPalette"), 4) << "palette flag 0 selects nothing";
    DeletePalette(before);
}

} // namespace
