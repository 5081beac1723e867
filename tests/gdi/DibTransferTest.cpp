// SPDX-License-Identifier: GPL-3.0-or-later
// The bitmap transfers of the image-backed device contexts on 1-, 4-, 8- and 24-bit
// packed bitmaps: orientation, colour tables, scaling, clipping and refusals.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/TestDC.h"
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb kBackground = 0xff808080u;

// The colour every depth gives picture pixel (x, y): for indexed rasters the colour
// table entry of a pattern index, for 24-bit rasters a packed colour.
struct Picture {
    RasterImage raster;
    testsupport::RgbPicture rgb;
};

Picture MakePicture(int width, int height, int depth)
{
    Picture p;
    p.raster = newdib(width, height, depth, nullptr, 0);
    if (depth <= 8) {
        const int entries = 1 << depth;
        for (int i = 0; i < entries; ++i) {
            RGBQUAD &q = p.raster.ColourTable()[i];
            q = RGBQUAD{uint8_t(i * 7 + 3), uint8_t(255 - i), uint8_t(i * 13 % 256), 0};
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t value = depth == 24 ? uint32_t(x * 40 + 1) | uint32_t(y * 70 + 2) << 8
                                                     | uint32_t(x * y + 9) << 16
                                               : uint32_t(x + 3 * y) % (1u << depth);
            setpixel(p.raster, x, y, value);
        }
    }
    p.rgb = testsupport::RasterToRgb(p.raster);
    return p;
}

QRgb Expected(const Picture &p, int x, int y)
{
    return qRgb(p.rgb.r(x, y), p.rgb.g(x, y), p.rgb.b(x, y));
}

class DibTransfer : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { picture = MakePicture(5, 3, GetParam()); }
    void TearDown() override { deldib(picture.raster); }
    Picture picture;
};

TEST_P(DibTransfer, SetDIBitsToDeviceShowsTheTopRowFirst)
{
    gdi::TestDC dc({.width = 10, .height = 8});
    const RasterImage &r = picture.raster;
    EXPECT_EQ(SetDIBitsToDevice(&dc, 2, 1, 5, 3, 0, 0, 0, 3, r.Pixels, r.Header(), DIB_RGB_COLORS),
              3);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 1 && y < 4;
            EXPECT_EQ(dc.Image().pixel(x, y),
                      inside ? Expected(picture, x - 2, y - 1) : kBackground)
                << x << "," << y;
        }
    }
}

TEST_P(DibTransfer, StretchDIBitsRepeatsAndDropsWholePixels)
{
    gdi::TestDC dc({.width = 12, .height = 8});
    const RasterImage &r = picture.raster;
    // Enlarge to 11 x 7, then shrink into 3 x 2 beside it.
    ASSERT_NE(
        StretchDIBits(&dc, 0, 0, 11, 7, 0, 0, 5, 3, r.Pixels, r.Header(), DIB_RGB_COLORS, SRCCOPY),
        GDI_ERROR);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 11; ++x)
            ASSERT_EQ(dc.Image().pixel(x, y), Expected(picture, x * 5 / 11, y * 3 / 7))
                << x << "," << y;
    gdi::TestDC small({.width = 3, .height = 2});
    StretchDIBits(&small, 0, 0, 3, 2, 0, 0, 5, 3, r.Pixels, r.Header(), DIB_RGB_COLORS, SRCCOPY);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(small.Image().pixel(x, y), Expected(picture, x * 5 / 3, y * 3 / 2));
}

TEST_P(DibTransfer, StretchDIBitsCountsSourceRowsFromTheBottom)
{
    gdi::TestDC dc({.width = 4, .height = 2});
    const RasterImage &r = picture.raster;
    // Source rows 1..1 from the bottom of a 3-row picture is picture row 1; columns 1..2.
    StretchDIBits(&dc, 0, 0, 4, 2, 1, 1, 2, 1, r.Pixels, r.Header(), DIB_RGB_COLORS, SRCCOPY);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dc.Image().pixel(x, y), Expected(picture, 1 + x / 2, 1));
}

INSTANTIATE_TEST_SUITE_P(Depths, DibTransfer, ::testing::Values(1, 4, 8, 24));

TEST(DibTransfer, ClipRectangleKeepsEveryOtherPixel)
{
    Picture p = MakePicture(6, 6, 24);
    gdi::TestDC dc({.width = 6, .height = 6});
    dc.SetClip(QRect(2, 1, 3, 2));
    StretchDIBits(&dc, 0, 0, 6, 6, 0, 0, 6, 6, p.raster.Pixels, p.raster.Header(), DIB_RGB_COLORS,
                  SRCCOPY);
    SetDIBitsToDevice(&dc, 0, 0, 6, 6, 0, 0, 0, 6, p.raster.Pixels, p.raster.Header(),
                      DIB_RGB_COLORS);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dc.Image().pixel(x, y),
                      QRect(2, 1, 3, 2).contains(x, y) ? Expected(p, x, y) : kBackground);
    deldib(p.raster);
}

TEST(DibTransfer, SurfaceDeviceCoordinatesAreOffsetByTheOrigin)
{
    Picture p = MakePicture(4, 4, 24);
    QImage surface(3, 2, QImage::Format_RGB32);
    surface.fill(kBackground);
    // The surface shows device pixels (10..12, 20..21); the clip stops at column 11.
    gdi::SurfaceDC dc(surface, QPoint(10, 20), QRect(10, 20, 2, 2), 32);
    SetDIBitsToDevice(&dc, 9, 19, 4, 4, 0, 0, 0, 4, p.raster.Pixels, p.raster.Header(),
                      DIB_RGB_COLORS);
    EXPECT_EQ(surface.pixel(0, 0), Expected(p, 1, 1));
    EXPECT_EQ(surface.pixel(1, 1), Expected(p, 2, 2));
    EXPECT_EQ(surface.pixel(2, 0), kBackground);
    RECT box;
    EXPECT_EQ(GetClipBox(&dc, &box), 2);
    EXPECT_EQ(box, (RECT{10, 20, 12, 22}));
    EXPECT_EQ(GetDeviceCaps(&dc, BITSPIXEL), 32);
    deldib(p.raster);
}

TEST(DibTransfer, RefusalsAndBadInputReportFailure)
{
    Picture p = MakePicture(4, 4, 8);
    const RasterImage &r = p.raster;
    gdi::TestDC refusing({.refuseStretchDIBits = true, .refuseSetDIBitsToDevice = true});
    EXPECT_EQ(StretchDIBits(&refusing, 0, 0, 4, 4, 0, 0, 4, 4, r.Pixels, r.Header(), DIB_RGB_COLORS,
                            SRCCOPY),
              GDI_ERROR);
    EXPECT_EQ(
        SetDIBitsToDevice(&refusing, 0, 0, 4, 4, 0, 0, 0, 4, r.Pixels, r.Header(), DIB_RGB_COLORS),
        0);
    gdi::TestDC dc;
    EXPECT_EQ(
        StretchDIBits(&dc, 0, 0, 4, 4, 0, 0, 4, 4, nullptr, r.Header(), DIB_RGB_COLORS, SRCCOPY),
        GDI_ERROR);
    EXPECT_EQ(
        StretchDIBits(&dc, 0, 0, 4, 4, 0, 0, 4, 4, r.Pixels, r.Header(), DIB_PAL_COLORS, SRCCOPY),
        GDI_ERROR);
    EXPECT_EQ(SetDIBitsToDevice(&dc, 0, 0, 4, 4, 0, 0, 0, 4, r.Pixels, nullptr, DIB_RGB_COLORS), 0);
    EXPECT_EQ(dc.Image().pixel(0, 0), kBackground);
    deldib(p.raster);
}

TEST(DibTransfer, CompatibleBitmapThroughMemoryDcAndStretchBlt)
{
    Picture p = MakePicture(5, 3, 4);
    gdi::TestDC dc({.width = 10, .height = 6});
    HBITMAP bitmap = CreateCompatibleBitmap(&dc, 5, 3);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(SetDIBits(&dc, bitmap, 0, 3, p.raster.Pixels, p.raster.Header(), DIB_RGB_COLORS), 3);
    HDC memory = CreateCompatibleDC(&dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    ASSERT_NE(old, nullptr);
    EXPECT_FALSE(DeleteObject(bitmap)) << "a selected bitmap must not be deleted";
    // Rows of a compatible bitmap run from the top: source row 1 is picture row 1.
    EXPECT_TRUE(StretchBlt(&dc, 0, 0, 10, 4, memory, 0, 1, 5, 2, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(dc.Image().pixel(x, y), Expected(p, x / 2, 1 + y / 2));
    SelectObject(memory, old);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));
    deldib(p.raster);
}

} // namespace
