// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/DrawFallbacks.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/MessageSink.h"
#include "platform/rastix/Rastix.h"

#include <cstring>

namespace {

// Source position of destination position i of n, spreading from..from+count-1 so that
// both ends meet; a single destination position takes the first source position.
int64_t Spread(int64_t from, int64_t count, int64_t i, int64_t n)
{
    return n == 1 ? from : from + (count - 1) * i / (n - 1);
}

void Show(HDC dc, const char *text)
{
    if (gdi::MessageSink *sink = dc->Sink())
        sink->ShowMessage(text);
}

void Resample(const RasterImage &raster, const RasterImage &target, int32_t srcX, int32_t srcY,
              int32_t srcWidth, int32_t srcHeight)
{
    const int32_t w = RasterWidth(target);
    const int32_t h = RasterHeight(target);
    const int32_t depth = RasterBitCount(raster);
    if (depth == 1) {
        // getpixel and setpixel count rows from the top.
        const int32_t top = RasterHeight(raster) - srcY - srcHeight;
        for (int32_t y = 0; y < h; ++y) {
            const auto sy = int32_t(Spread(top, srcHeight, y, h));
            for (int32_t x = 0; x < w; ++x)
                setpixel(target, x, y, getpixel(raster, int32_t(Spread(srcX, srcWidth, x, w)), sy));
        }
        return;
    }
    // Here y and sy count memory rows, from the bottom.
    for (int32_t y = 0; y < h; ++y) {
        const int64_t sy = Spread(srcY, srcHeight, y, h);
        const uint8_t *in = raster.Pixels + sy * raster.Stride;
        uint8_t *out = target.Pixels + int64_t(y) * target.Stride;
        for (int32_t x = 0; x < w; ++x) {
            const int64_t sx = Spread(srcX, srcWidth, x, w);
            if (depth == 24) {
                std::memcpy(out + 3 * int64_t(x), in + 3 * sx, 3);
            } else if (depth == 8) {
                out[x] = in[sx];
            } else {
                const uint8_t nibble = sx % 2 == 0 ? in[sx / 2] >> 4 : in[sx / 2] & 15;
                out[x / 2] |= x % 2 == 0 ? uint8_t(nibble << 4) : nibble;
            }
        }
    }
}

} // namespace

bool DrawResampled(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                   const RasterImage &raster, int32_t srcX, int32_t srcY, int32_t srcWidth,
                   int32_t srcHeight)
{
    const int32_t colours = RasterColourCount(raster);
    const RasterImage target = newdib(destWidth, destHeight, RasterBitCount(raster), raster.Bitmap,
                                      colours <= 256 ? colours : 0);
    if (!target.Pixels) {
        deldib(target);
        return false;
    }
    Resample(raster, target, srcX, srcY, srcWidth, srcHeight);
    const int lines = SetDIBitsToDevice(dc, destX, destY, destWidth, destHeight, 0, 0, 0,
                                        destHeight, target.Pixels, target.Header(), DIB_RGB_COLORS);
    deldib(target);
    return lines != 0;
}

void DrawThroughBitmap(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                       const RasterImage &raster, int32_t srcX, int32_t srcY, int32_t srcWidth,
                       int32_t srcHeight, uint32_t rasterOp)
{
    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (!bitmap) {
        Show(dc, "Could not create bitmap.");
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    if (SetDIBits(dc, bitmap, 0, height, raster.Pixels, raster.Header(), DIB_RGB_COLORS) == 0) {
        Show(dc, "The device does not support the Funtkion setdibits!");
    } else {
        HGDIOBJ old = SelectObject(memory, bitmap);
        // The bitmap's rows run from the top; srcY counts from the bottom.
        if (!StretchBlt(dc, destX, destY, destWidth, destHeight, memory, srcX,
                        height - srcY - srcHeight, srcWidth, srcHeight, rasterOp))
            Show(dc, "The device does not support the function StretchBlt!");
        SelectObject(memory, old);
    }
    DeleteDC(memory);
    DeleteObject(bitmap);
}
