// SPDX-License-Identifier: GPL-3.0-or-later
// The GDI vocabulary the drawing code speaks: device-capability indices, modes, raster
// operations, rectangles, colours and the pen, brush and bitmap objects behind the
// handles. Values are those of the Windows headers, so the code reads like GDI code.
#pragma once

#include "platform/gdi/Rect.h"
#include "platform/rastix/WinTypes.h"

#include <QImage>

#include <cstdint>

// A screen colour: R + 256 G + 65536 B, top byte 0.
using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b)
{
    return COLORREF(r) | COLORREF(g) << 8 | COLORREF(b) << 16;
}

using RECT = Rect;

// GetDeviceCaps indices and the values the program tests.
constexpr int TECHNOLOGY = 2;
constexpr int BITSPIXEL = 12;
constexpr int RASTERCAPS = 38;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;
constexpr int RC_BITBLT = 0x0001;
constexpr int RC_PALETTE = 0x0100;
constexpr int RC_DIBTODEV = 0x0200;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_STRETCHDIB = 0x2000;

// Stretch modes. Every mode scales by dropping or repeating whole pixels here; the
// mode is remembered so callers can read it back.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

constexpr uint32_t DIB_RGB_COLORS = 0;
constexpr uint32_t DIB_PAL_COLORS = 1;

// Raster operations of the block transfers.
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t SRCINVERT = 0x00660046;
constexpr uint32_t NOTSRCCOPY = 0x00330008;
constexpr uint32_t DSTINVERT = 0x00550009;

// Mix modes of pens and brush fills.
constexpr int R2_NOT = 6;
constexpr int R2_COPYPEN = 13;

constexpr int GDI_ERROR = -1;

constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;
constexpr int BS_SOLID = 0;
constexpr int BS_HOLLOW = 1;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int HOLLOW_BRUSH = 5;
constexpr int NULL_BRUSH = HOLLOW_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

namespace gdi {

class DeviceContext;

// What a GDI object handle points to. Stock objects are never deleted.
struct GdiObject {
    virtual ~GdiObject() = default;
    bool stock = false;
};

// Pens are 1 pixel wide whatever width they were created with: the program only
// draws hairlines.
struct PenObject final : GdiObject {
    int style = PS_SOLID;
    COLORREF colour = 0;
};

struct BrushObject final : GdiObject {
    int style = BS_SOLID;
    COLORREF colour = 0;
};

// A device-dependent bitmap: 32-bit pixels, top row first. While a memory DC holds it,
// selectedInto names that DC and DeleteObject refuses it.
struct BitmapObject final : GdiObject {
    QImage image;
    DeviceContext *selectedInto = nullptr;
};

} // namespace gdi

using HDC = gdi::DeviceContext *;
using HGDIOBJ = gdi::GdiObject *;
using HPEN = gdi::PenObject *;
using HBRUSH = gdi::BrushObject *;
using HBITMAP = gdi::BitmapObject *;
