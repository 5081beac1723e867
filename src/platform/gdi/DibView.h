// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a packed device-independent bitmap (header, colour table) with its pixel
// memory, as the transfers consume it. Only uncompressed, bottom-up 1-, 4-, 8- and
// 24-bit bitmaps are understood; anything else reads as invalid and is refused.
#pragma once

#include "platform/rastix/WinTypes.h"

#include <QRgb>

#include <cstdint>

namespace gdi {

struct DibView {
    const uint8_t *bits = nullptr; // memory row 0 is the bottom row
    const RGBQUAD *table = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitCount = 0;
    int32_t stride = 0;
    int32_t tableSize = 0; // entries present; indices beyond read as black
    bool valid = false;

    const uint8_t *Row(int32_t memoryRow) const { return bits + int64_t(stride) * memoryRow; }
};

// info points at the header; the colour table follows at info->biSize.
DibView ReadDib(const BITMAPINFOHEADER *info, const void *bits);

// Pixel x of a memory row as 0xffRRGGBB. x must lie inside the bitmap.
QRgb DibPixel(const DibView &dib, const uint8_t *row, int32_t x);

// count pixels of a memory row from column x (all inside the bitmap) as 0xffRRGGBB.
void DibRowToRgb32(const DibView &dib, const uint8_t *row, int32_t x, int32_t count, QRgb *out);

// A COLORREF (red in the low byte) as an opaque 0xffRRGGBB pixel.
inline QRgb ColourToRgb32(uint32_t colour)
{
    return 0xff000000u | (colour & 0xffu) << 16 | (colour & 0xff00u) | (colour >> 16 & 0xffu);
}

} // namespace gdi
