// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows bitmap and palette structures the raster record and the drawing calls
// exchange. Their byte layout is the one of the device-independent bitmap format and
// of GDI's logical palette, so packed bitmaps can be handed around unchanged.
#pragma once

#include <cstdint>

struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// One colour-table entry of a packed bitmap: blue first.
struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};
static_assert(sizeof(RGBQUAD) == 4);

// One entry of a logical palette: red first.
struct PALETTEENTRY {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
};
static_assert(sizeof(PALETTEENTRY) == 4);

// A logical palette with room for 256 entries: version, count, entries, contiguous.
struct LOGPALETTE256 {
    uint16_t palVersion;
    uint16_t palNumEntries;
    PALETTEENTRY palPalEntry[256];
};
static_assert(sizeof(LOGPALETTE256) == 1028);

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

namespace gdi {
// A GDI palette object: what a palette handle points to. Created from a logical
// palette, released with DeletePalette.
struct PaletteObject {
    uint16_t count = 0;
    PALETTEENTRY entries[256] = {};
};
} // namespace gdi

using HPALETTE = gdi::PaletteObject *;

inline HPALETTE CreatePalette(const LOGPALETTE256 &logical)
{
    auto *p = new gdi::PaletteObject;
    p->count = logical.palNumEntries > 256 ? 256 : logical.palNumEntries;
    for (int i = 0; i < p->count; ++i)
        p->entries[i] = logical.palPalEntry[i];
    return p;
}

inline void DeletePalette(HPALETTE palette)
{
    delete palette;
}
