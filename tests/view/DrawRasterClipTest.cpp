// SPDX-License-Identifier: GPL-3.0-or-later
// The row paths skip what lies outside the clip box; the pixels that land must be
// exactly those of a full, unclipped drawing.
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/TestDC.h"
#include "platform/rastix/Rastix.h"
#include "view/DrawRaster.h"

#include <gtest/gtest.h>

namespace {

RasterImage Pattern(int width, int height, int depth)
{
    RasterImage raster = newdib(width, height, depth, nullptr, 0);
    if (depth == 8)
        for (int i = 0; i < 256; ++i)
            raster.ColourTable()[i] = RGBQUAD{uint8_t(i), uint8_t(i * 7), uint8_t(255 - i), 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(raster, x, y,
                     depth == 24 ? uint32_t(x * 7) % 256 | uint32_t(y * 11) % 256 << 8
                                       | uint32_t(x * y) % 256 << 16
                                 : uint32_t(x * 3 + y * 5) % 256);
    return raster;
}

struct ClipCase {
    int zoom;
    int depth;
};

class ClipSkipping : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ClipSkipping, VisiblePartEqualsTheSamePartOfAFullDrawing)
{
    const auto [zoom, depth] = GetParam();
    const int w = 37;
    const int h = 23;
    const RasterImage raster = Pattern(w, h, depth);
    const int dw = w * zoom / 100;
    const int dh = h * zoom / 100;

    gdi::TestDC full({.width = dw, .height = dh});
    DrawRaster(&full, 0, 0, dw, dh, raster, 0, 0, w, h, true, SRCCOPY, true, nullptr);

    // Several visible windows, as a scrolled view shows them, including ones that
    // start inside a repeated block and ones reaching past the picture.
    const QRect windows[] = {QRect(0, 0, dw / 2 + 1, dh / 3 + 1), QRect(dw / 3, dh / 4, 13, 9),
                             QRect(dw - 5, dh - 4, 12, 10), QRect(1, 1, dw, dh)};
    for (const QRect &window : windows) {
        QImage surface(window.size(), QImage::Format_RGB32);
        surface.fill(0xff123456u);
        gdi::SurfaceDC dc(surface, window.topLeft(), window, 32);
        DrawRaster(&dc, 0, 0, dw, dh, raster, 0, 0, w, h, true, SRCCOPY, true, nullptr);
        for (int y = 0; y < window.height(); ++y)
            for (int x = 0; x < window.width(); ++x) {
                const QPoint device = window.topLeft() + QPoint(x, y);
                const QRgb want =
                    full.Image().rect().contains(device) ? full.Image().pixel(device) : 0xff123456u;
                ASSERT_EQ(surface.pixel(x, y), want)
                    << "zoom " << zoom << " window " << window.x() << "," << window.y() << " pixel "
                    << device.x() << "," << device.y();
            }
    }
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(Zooms, ClipSkipping,
                         ::testing::Values(ClipCase{10, 24}, ClipCase{50, 24}, ClipCase{100, 24},
                                           ClipCase{150, 24}, ClipCase{1000, 24}, ClipCase{150, 8},
                                           ClipCase{1000, 8}));

TEST(ClipSkipping, CostFollowsTheVisibleRows)
{
    const RasterImage raster = Pattern(100, 100, 24);
    gdi::TestDC dc({.width = 1000, .height = 1000});
    dc.SetClip(QRect(0, 500, 1000, 20));
    DrawRaster(&dc, 0, 0, 1000, 1000, raster, 0, 0, 100, 100, true, SRCCOPY, true, nullptr);
    EXPECT_EQ(dc.CountOf("SetDIBitsToDevice"), 20);
    deldib(raster);
}

} // namespace
