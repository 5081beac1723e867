// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/DeviceContext.h"

#include "platform/gdi/DibView.h"

#include <algorithm>
#include <utility>

namespace gdi {

HBITMAP DeviceContext::CreateCompatibleBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return nullptr;
    image.fill(0xff000000u);
    auto *bitmap = new BitmapObject;
    bitmap->image = std::move(image);
    return bitmap;
}

int DeviceContext::SetDIBits(HBITMAP bitmap, int startScan, int lines, const void *bits,
                             const BITMAPINFOHEADER *info)
{
    const DibView dib = ReadDib(info, bits);
    if (!bitmap || !dib.valid || startScan < 0 || lines <= 0)
        return 0;
    QImage &image = bitmap->image;
    const int w = std::min(dib.width, image.width());
    int done = 0;
    // bits holds memory rows startScan .. startScan + lines - 1; memory row r is bitmap
    // row (height - 1 - r) counted from the top.
    for (int i = 0; i < lines; ++i) {
        const int64_t memoryRow = int64_t(startScan) + i;
        const int64_t top = int64_t(dib.height) - 1 - memoryRow;
        if (memoryRow >= dib.height || top < 0 || top >= image.height())
            continue;
        DibRowToRgb32(dib, dib.Row(i), 0, w, reinterpret_cast<QRgb *>(image.scanLine(int(top))));
        ++done;
    }
    return done;
}

const QImage *DeviceContext::Pixels(int *originX, int *originY) const
{
    *originX = 0;
    *originY = 0;
    return nullptr;
}

HBITMAP DeviceContext::SelectBitmap(HBITMAP)
{
    return nullptr;
}

} // namespace gdi
