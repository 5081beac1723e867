// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/DrawRaster.h"

#include "platform/gdi/Gdi.h"
#include "platform/rastix/Rastix.h"
#include "view/DrawFallbacks.h"
#include "view/DrawRows.h"

#include <climits>
#include <cmath>

namespace {

// a x b / c in extended precision, rounded to nearest with halves to even, kept in
// range of a 32-bit integer. c is never 0 here.
int32_t RoundQuotient(int64_t a, int64_t b, int64_t c)
{
    const long double q = std::nearbyintl(static_cast<long double>(a) * b / c);
    if (q > INT32_MAX)
        return INT32_MAX;
    if (q < INT32_MIN)
        return INT32_MIN;
    return int32_t(q);
}

struct Rectangles {
    int32_t destX, destY, destWidth, destHeight;
    int32_t srcX, srcY, srcWidth, srcHeight;
};

// Cuts the source rectangle to the raster (right, bottom, top, left in that order),
// scaling the destination by each cut's proportion.
void CutToRaster(Rectangles &r, int32_t width, int32_t height)
{
    if (int64_t(r.srcX) + r.srcWidth > width) {
        const int32_t n = width - r.srcX;
        r.destWidth = RoundQuotient(r.destWidth, n, r.srcWidth);
        r.srcWidth = n;
    }
    if (r.srcY < 0) {
        r.destHeight = RoundQuotient(r.destHeight, int64_t(r.srcHeight) + r.srcY, r.srcHeight);
        r.srcHeight += r.srcY;
        r.srcY = 0;
    }
    if (int64_t(r.srcY) + r.srcHeight > height && r.srcHeight > 0) {
        const int32_t n = height - r.srcY;
        const int32_t k = RoundQuotient(r.destHeight, n, r.srcHeight);
        r.destY = r.destY + r.destHeight - k;
        r.destHeight = k;
        r.srcHeight = n;
    }
    if (r.srcX < 0 && r.srcWidth > 0) {
        const int32_t k = RoundQuotient(r.destWidth, int64_t(r.srcX) + r.srcWidth, r.srcWidth);
        r.destX = r.destX + r.destWidth - k;
        r.destWidth = k;
        r.srcWidth += r.srcX;
        r.srcX = 0;
    }
}

void DrawHalftoned(HDC dc, const Rectangles &r, const RasterImage &raster, uint32_t rasterOp,
                   HPALETTE chosen)
{
    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    const bool shrinking = r.srcWidth > r.destWidth || r.srcHeight > r.destHeight;
    const RasterImage halftoned =
        shrinking ? DIBHalftoneDIBXY(raster, RoundQuotient(width, r.destWidth, r.srcWidth),
                                     RoundQuotient(height, r.destHeight, r.srcHeight))
                  : DIBHalftoneDIB(raster);
    HPALETTE replaced = nullptr;
    if (chosen) {
        replaced = SelectPalette(dc, chosen, false);
        RealizePalette(dc);
    }
    if (halftoned.Pixels) {
        if (shrinking) {
            // The halftoned copy is already at the drawing's scale: copy 1:1.
            StretchDIBits(dc, r.destX, r.destY, r.destWidth, r.destHeight,
                          RoundQuotient(RasterWidth(halftoned), r.srcX, width),
                          RoundQuotient(RasterHeight(halftoned), r.srcY, height), r.destWidth,
                          r.destHeight, halftoned.Pixels, halftoned.Header(), DIB_RGB_COLORS,
                          rasterOp);
        } else {
            StretchDIBits(dc, r.destX, r.destY, r.destWidth, r.destHeight, r.srcX, r.srcY,
                          r.srcWidth, r.srcHeight, halftoned.Pixels, halftoned.Header(),
                          DIB_RGB_COLORS, rasterOp);
        }
    }
    if (chosen)
        SelectPalette(dc, replaced, false);
    deldib(halftoned);
}

void DrawStretched(HDC dc, const Rectangles &r, const RasterImage &raster, uint32_t rasterOp)
{
    const bool dibToDevice = (GetDeviceCaps(dc, RASTERCAPS) & RC_DIBTODEV) != 0;
    if (StretchDIBits(dc, r.destX, r.destY, r.destWidth, r.destHeight, r.srcX, r.srcY, r.srcWidth,
                      r.srcHeight, raster.Pixels, raster.Header(), DIB_RGB_COLORS, rasterOp)
        != GDI_ERROR)
        return;
    if (dibToDevice
        && DrawResampled(dc, r.destX, r.destY, r.destWidth, r.destHeight, raster, r.srcX, r.srcY,
                         r.srcWidth, r.srcHeight))
        return;
    DrawThroughBitmap(dc, r.destX, r.destY, r.destWidth, r.destHeight, raster, r.srcX, r.srcY,
                      r.srcWidth, r.srcHeight, rasterOp);
}

} // namespace

int ScreenBitsPerPixel(HDC dc)
{
    return dc->ScreenBitsPerPixel();
}

void DrawRaster(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                const RasterImage &raster, int32_t srcX, int32_t srcY, int32_t srcWidth,
                int32_t srcHeight, bool allowHalftone, uint32_t rasterOp, bool useRasterPalette,
                HPALETTE palette)
{
    if (!dc || !raster.Pixels || !raster.Bitmap)
        return;
    const bool printer = GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER;
    SetStretchBltMode(dc, COLORONCOLOR);

    // An empty source rectangle shows nothing (and would divide by zero below).
    if (srcWidth <= 0 || srcHeight <= 0)
        return;
    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    Rectangles r{destX, destY, destWidth, destHeight, srcX, srcY, srcWidth, srcHeight};
    CutToRaster(r, width, height);
    if (r.destWidth <= 0 || r.destHeight <= 0 || r.srcWidth <= 0 || r.srcHeight <= 0)
        return;

    const HPALETTE chosen = useRasterPalette ? raster.PaletteHandle : palette;
    HPALETTE before = nullptr;
    const bool paletteChanged = raster.PaletteFlag == 1 && chosen;
    if (paletteChanged) {
        before = SelectPalette(dc, chosen, false);
        RealizePalette(dc);
    }

    const int32_t depth = RasterBitCount(raster);
    if (depth == 24 && allowHalftone && ScreenBitsPerPixel(dc) <= 8)
        DrawHalftoned(dc, r, raster, rasterOp, chosen);
    else if (depth == 24 && !printer)
        DrawRows24(dc, r.destX, r.destY, r.destWidth, r.destHeight, raster, r.srcX,
                   height - r.srcY - r.srcHeight, r.srcWidth, r.srcHeight);
    else if (depth == 8 && !printer)
        DrawRows8(dc, r.destX, r.destY, r.destWidth, r.destHeight, raster, r.srcX,
                  height - r.srcY - r.srcHeight, r.srcWidth, r.srcHeight);
    else
        DrawStretched(dc, r, raster, rasterOp);

    if (paletteChanged)
        SelectPalette(dc, before, false);
}
