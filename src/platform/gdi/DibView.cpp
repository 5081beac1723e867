// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/DibView.h"

namespace gdi {

DibView ReadDib(const BITMAPINFOHEADER *info, const void *bits)
{
    DibView dib;
    if (!info || !bits || info->biSize < 40 || info->biWidth <= 0 || info->biHeight <= 0
        || info->biCompression != BI_RGB)
        return dib;
    const int32_t depth = info->biBitCount;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24)
        return dib;
    dib.bits = static_cast<const uint8_t *>(bits);
    dib.width = info->biWidth;
    dib.height = info->biHeight;
    dib.bitCount = depth;
    dib.stride = int32_t((int64_t(dib.width) * depth + 31) / 32 * 4);
    if (depth <= 8) {
        const uint32_t full = 1u << depth;
        const uint32_t used = info->biClrUsed == 0 ? full : info->biClrUsed;
        dib.tableSize = int32_t(used < full ? used : full);
        dib.table = reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const uint8_t *>(info)
                                                      + info->biSize);
    }
    dib.valid = true;
    return dib;
}

namespace {

QRgb TableColour(const DibView &dib, uint32_t index)
{
    if (index >= uint32_t(dib.tableSize))
        return 0xff000000u;
    const RGBQUAD &q = dib.table[index];
    return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

} // namespace

QRgb DibPixel(const DibView &dib, const uint8_t *row, int32_t x)
{
    switch (dib.bitCount) {
    case 24: {
        const uint8_t *p = row + int64_t(x) * 3;
        return qRgb(p[2], p[1], p[0]);
    }
    case 8: return TableColour(dib, row[x]);
    case 4: return TableColour(dib, x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15u);
    default: return TableColour(dib, (row[x / 8] >> (7 - x % 8)) & 1u);
    }
}

void DibRowToRgb32(const DibView &dib, const uint8_t *row, int32_t x, int32_t count, QRgb *out)
{
    if (dib.bitCount == 24) {
        const uint8_t *p = row + int64_t(x) * 3;
        for (int32_t i = 0; i < count; ++i, p += 3)
            out[i] = 0xff000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        return;
    }
    if (dib.bitCount == 8) {
        for (int32_t i = 0; i < count; ++i)
            out[i] = TableColour(dib, row[x + i]);
        return;
    }
    for (int32_t i = 0; i < count; ++i)
        out[i] = DibPixel(dib, row, x + i);
}

} // namespace gdi
