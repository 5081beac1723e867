// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Gdi.h"

#include "platform/gdi/MemoryDC.h"

int GetDeviceCaps(HDC dc, int index)
{
    dc->Note("GetDeviceCaps");
    switch (index) {
    case TECHNOLOGY: return dc->Technology();
    case RASTERCAPS: return dc->RasterCaps();
    case BITSPIXEL: return dc->BitsPixel();
    default: return 0;
    }
}

int GetClipBox(HDC dc, RECT *rect)
{
    *rect = dc->ClipBox();
    return rect->Empty() ? 1 : 2;
}

int SetStretchBltMode(HDC dc, int mode)
{
    dc->Note("SetStretchBltMode");
    const int previous = dc->State().stretchMode;
    dc->State().stretchMode = mode;
    return previous;
}

int GetStretchBltMode(HDC dc)
{
    return dc->State().stretchMode;
}

int SetROP2(HDC dc, int mode)
{
    dc->Note("SetROP2");
    const int previous = dc->State().rop2;
    dc->State().rop2 = mode;
    return previous;
}

int GetROP2(HDC dc)
{
    return dc->State().rop2;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, bool)
{
    dc->Note("SelectPalette");
    HPALETTE previous = dc->State().palette;
    dc->State().palette = palette;
    return previous;
}

int RealizePalette(HDC dc)
{
    dc->Note("RealizePalette");
    const HPALETTE palette = dc->State().palette;
    if (!palette || dc->BitsPixel() > 8)
        return 0;
    return palette->count;
}

int SetDIBitsToDevice(HDC dc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                      int startScan, int lines, const void *bits, const BITMAPINFOHEADER *info,
                      uint32_t colourUse)
{
    dc->Note("SetDIBitsToDevice");
    if (colourUse != DIB_RGB_COLORS)
        return 0;
    return dc->SetDIBitsToDevice(xDest, yDest, width, height, xSrc, ySrc, startScan, lines, bits,
                                 info);
}

int StretchDIBits(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                  int hSrc, const void *bits, const BITMAPINFOHEADER *info, uint32_t colourUse,
                  uint32_t rop)
{
    dc->Note("StretchDIBits");
    if (colourUse != DIB_RGB_COLORS)
        return GDI_ERROR;
    return dc->StretchDIBits(xDst, yDst, wDst, hDst, xSrc, ySrc, wSrc, hSrc, bits, info, rop);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    dc->Note("CreateCompatibleBitmap");
    return dc->CreateCompatibleBitmap(width, height);
}

HDC CreateCompatibleDC(HDC dc)
{
    dc->Note("CreateCompatibleDC");
    return new gdi::MemoryDC(dc->ScreenBitsPerPixel());
}

int SetDIBits(HDC dc, HBITMAP bitmap, int startScan, int lines, const void *bits,
              const BITMAPINFOHEADER *info, uint32_t colourUse)
{
    dc->Note("SetDIBits");
    if (colourUse != DIB_RGB_COLORS)
        return 0;
    return dc->SetDIBits(bitmap, startScan, lines, bits, info);
}

bool StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc,
                int hSrc, uint32_t rop)
{
    dst->Note("StretchBlt");
    return src && dst->StretchBlt(x, y, width, height, *src, xSrc, ySrc, wSrc, hSrc, rop);
}

bool DeleteDC(HDC dc)
{
    delete dc;
    return dc != nullptr;
}

HPEN CreatePen(int style, int, COLORREF colour)
{
    auto *pen = new gdi::PenObject;
    pen->style = style;
    pen->colour = colour;
    return pen;
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    auto *brush = new gdi::BrushObject;
    brush->colour = colour;
    return brush;
}

namespace {

template <typename T>
T MakeStock(int style, COLORREF colour)
{
    T object;
    object.stock = true;
    object.style = style;
    object.colour = colour;
    return object;
}

} // namespace

HGDIOBJ GetStockObject(int which)
{
    // Stock objects are constant; the handle type is not, as in GDI, but nothing
    // writes through a pen or brush handle.
    static const gdi::BrushObject white = MakeStock<gdi::BrushObject>(BS_SOLID, RGB(255, 255, 255));
    static const gdi::BrushObject black = MakeStock<gdi::BrushObject>(BS_SOLID, 0);
    static const gdi::BrushObject hollow = MakeStock<gdi::BrushObject>(BS_HOLLOW, 0);
    static const gdi::PenObject whitePen = MakeStock<gdi::PenObject>(PS_SOLID, RGB(255, 255, 255));
    static const gdi::PenObject blackPen = MakeStock<gdi::PenObject>(PS_SOLID, 0);
    static const gdi::PenObject nullPen = MakeStock<gdi::PenObject>(PS_NULL, 0);
    const gdi::GdiObject *object = nullptr;
    switch (which) {
    case WHITE_BRUSH: object = &white; break;
    case BLACK_BRUSH: object = &black; break;
    case HOLLOW_BRUSH: object = &hollow; break;
    case WHITE_PEN: object = &whitePen; break;
    case BLACK_PEN: object = &blackPen; break;
    case NULL_PEN: object = &nullPen; break;
    default: break;
    }
    return const_cast<gdi::GdiObject *>(object);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    dc->Note("SelectObject");
    gdi::DcState &state = dc->State();
    if (auto *pen = dynamic_cast<HPEN>(object)) {
        HPEN previous =
            state.penHandle ? state.penHandle : static_cast<HPEN>(GetStockObject(BLACK_PEN));
        state.penHandle = pen;
        state.pen.style = pen->style;
        state.pen.colour = pen->colour;
        return previous;
    }
    if (auto *brush = dynamic_cast<HBRUSH>(object)) {
        HBRUSH previous = state.brushHandle ? state.brushHandle
                                            : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        state.brushHandle = brush;
        state.brush.style = brush->style;
        state.brush.colour = brush->colour;
        return previous;
    }
    if (auto *bitmap = dynamic_cast<HBITMAP>(object))
        return dc->SelectBitmap(bitmap);
    return nullptr;
}

bool DeleteObject(HGDIOBJ object)
{
    if (!object)
        return false;
    if (object->stock)
        return true;
    if (auto *bitmap = dynamic_cast<HBITMAP>(object); bitmap && bitmap->selectedInto)
        return false;
    delete object;
    return true;
}

bool Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    dc->Note("Rectangle");
    dc->Rectangle(left, top, right, bottom);
    return true;
}

bool Ellipse(HDC dc, int left, int top, int right, int bottom)
{
    dc->Note("Ellipse");
    dc->Ellipse(left, top, right, bottom);
    return true;
}

int FillRect(HDC dc, const RECT *rect, HBRUSH brush)
{
    dc->Note("FillRect");
    if (!rect || !brush)
        return 0;
    if (brush->style != BS_HOLLOW)
        dc->FillRect(*rect, brush->colour);
    return 1;
}
