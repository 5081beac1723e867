// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/DrawRows.h"

#include "platform/gdi/Gdi.h"
#include "platform/rastix/Rastix.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

void DrawRows(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
              const RasterImage &raster, int32_t srcX, int32_t topRow, int32_t srcWidth,
              int32_t srcHeight, int32_t bytesPerPixel)
{
    if (destWidth <= 0 || destHeight <= 0 || !raster.Pixels)
        return;

    // The visible part of the destination, relative to (destX, destY).
    RECT clip;
    if (GetClipBox(dc, &clip) != 2)
        return;
    const int64_t c0 = std::max<int64_t>(0, int64_t(clip.Left) - destX);
    const int64_t c1 = std::min<int64_t>(destWidth, int64_t(clip.Right) - destX);
    const int64_t r0 = std::max<int64_t>(0, int64_t(clip.Top) - destY);
    const int64_t r1 = std::min<int64_t>(destHeight, int64_t(clip.Bottom) - destY);
    if (c0 >= c1 || r0 >= r1)
        return;
    const int32_t columns = int32_t(c1 - c0);

    // The buffer holds visible columns c0 .. c1 - 1 of one destination row.
    const RasterImage buffer =
        newdib(columns, 1, bytesPerPixel * 8, bytesPerPixel == 1 ? raster.Bitmap : nullptr,
               bytesPerPixel == 1 ? 256 : 0);
    if (!buffer.Pixels) {
        deldib(buffer);
        return;
    }

    // Byte offset within a source row of each visible destination column.
    const int64_t width = RasterWidth(raster);
    const int64_t rowBytes = width * bytesPerPixel;
    std::vector<int64_t> table(static_cast<size_t>(columns));
    int32_t first = columns;
    int32_t last = 0;
    for (int32_t i = 0; i < columns; ++i) {
        const int64_t x = c0 + i;
        table[size_t(i)] = (srcX + int64_t(srcWidth) * x / destWidth) * bytesPerPixel;
        if (table[size_t(i)] >= 0 && table[size_t(i)] < rowBytes) {
            first = std::min(first, i);
            last = i;
        }
    }

    // At 100 % the copied columns are one run of source bytes.
    const bool contiguous =
        first <= last
        && table[size_t(last)] - table[size_t(first)] == int64_t(last - first) * bytesPerPixel;

    const int64_t height = RasterHeight(raster);
    const int64_t stride = raster.Stride;
    const int64_t largest = (height - 1) * stride;
    int64_t previous = -1;
    for (int64_t y = r0; y < r1; ++y) {
        const int64_t sy = topRow + int64_t(srcHeight) * y / destHeight;
        const int64_t off = (height - 1 - sy) * stride;
        if (off < 0 || off > largest) {
            std::memset(buffer.Pixels, 0, size_t(buffer.Stride));
            // The buffer no longer holds a source row.
            previous = -1;
        } else if (off != previous) {
            const uint8_t *source = raster.Pixels + off;
            uint8_t *out = buffer.Pixels;
            if (contiguous) {
                std::memcpy(out + int64_t(bytesPerPixel) * first, source + table[size_t(first)],
                            size_t(last - first + 1) * size_t(bytesPerPixel));
            } else if (bytesPerPixel == 3) {
                for (int32_t i = first; i <= last; ++i)
                    std::memcpy(out + 3 * i, source + table[size_t(i)], 3);
            } else {
                for (int32_t i = first; i <= last; ++i)
                    out[i] = source[table[size_t(i)]];
            }
            previous = off;
        }
        SetDIBitsToDevice(dc, int32_t(destX + c0), int32_t(destY + y), columns, 1, 0, 0, 0, 1,
                          buffer.Pixels, buffer.Header(), DIB_RGB_COLORS);
    }
    deldib(buffer);
}

} // namespace

void DrawRows24(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                const RasterImage &raster, int32_t srcX, int32_t topRow, int32_t srcWidth,
                int32_t srcHeight)
{
    DrawRows(dc, destX, destY, destWidth, destHeight, raster, srcX, topRow, srcWidth, srcHeight, 3);
}

void DrawRows8(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
               const RasterImage &raster, int32_t srcX, int32_t topRow, int32_t srcWidth,
               int32_t srcHeight)
{
    DrawRows(dc, destX, destY, destWidth, destHeight, raster, srcX, topRow, srcWidth, srcHeight, 1);
}
