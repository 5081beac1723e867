// SPDX-License-Identifier: GPL-3.0-or-later
// A device context with GDI's meaning: a drawing target plus the state GDI keeps with
// it (pen, brush, mix mode, stretch mode, selected palette). The drawing code uses the
// free functions of Gdi.h; the kinds of target implement the virtual calls here.
//
// Device coordinates are those of the window or page the DC belongs to. Nothing is
// ever drawn outside the DC's clip box.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>

namespace gdi {

class MessageSink;

// The state SelectObject, SetROP2, SetStretchBltMode and SelectPalette change.
// The pen and brush are kept by value, so deleting a selected object cannot leave the
// DC drawing with freed memory.
struct DcState {
    HPEN penHandle = nullptr;
    HBRUSH brushHandle = nullptr;
    PenObject pen;     // default: black 1-pixel solid
    BrushObject brush; // default: white solid
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    HPALETTE palette = nullptr;

    DcState() { brush.colour = RGB(255, 255, 255); }
};

class DeviceContext {
public:
    DeviceContext() = default;
    virtual ~DeviceContext() = default;
    DeviceContext(const DeviceContext &) = delete;
    DeviceContext &operator=(const DeviceContext &) = delete;

    // GetDeviceCaps(TECHNOLOGY), (RASTERCAPS), (BITSPIXEL).
    virtual int Technology() const { return DT_RASDISPLAY; }
    virtual int RasterCaps() const
    {
        return RC_BITBLT | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    }
    virtual int BitsPixel() const = 0;
    // Bits per pixel of the screen this DC belongs to (for a printer: the primary
    // screen's).
    virtual int ScreenBitsPerPixel() const { return BitsPixel(); }

    // The device rectangle drawing may touch; empty when nothing can be drawn.
    virtual RECT ClipBox() const = 0;

    // The transfers, with the Windows calls' arguments and results. info points at a
    // packed bitmap (header, then colour table); colours are always DIB_RGB_COLORS.
    // SetDIBitsToDevice returns the scan lines set, 0 on failure; StretchDIBits the
    // scan lines copied, GDI_ERROR on failure.
    virtual int SetDIBitsToDevice(int x, int y, int width, int height, int xSrc, int ySrc,
                                  int startScan, int lines, const void *bits,
                                  const BITMAPINFOHEADER *info) = 0;
    virtual int StretchDIBits(int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                              int hSrc, const void *bits, const BITMAPINFOHEADER *info,
                              uint32_t rop) = 0;

    // A bitmap compatible with the device, or null when it cannot be made.
    virtual HBITMAP CreateCompatibleBitmap(int width, int height);
    // Loads scan lines of a packed bitmap into a compatible bitmap; 0 on failure.
    virtual int SetDIBits(HBITMAP bitmap, int startScan, int lines, const void *bits,
                          const BITMAPINFOHEADER *info);
    // Copies a rectangle of src's pixels (src device coordinates, top-down) scaled to
    // this DC. False when the device or the source cannot do it.
    virtual bool StretchBlt(int x, int y, int width, int height, const DeviceContext &src, int xSrc,
                            int ySrc, int wSrc, int hSrc, uint32_t rop) = 0;

    // The pixels behind this DC and the device position of their top-left corner, for
    // use as a StretchBlt source; null when the device keeps none (a printer).
    virtual const QImage *Pixels(int *originX, int *originY) const;
    // Memory DCs hold a bitmap; others refuse with null.
    virtual HBITMAP SelectBitmap(HBITMAP bitmap);

    // Shapes with the current pen, brush and mix mode (right and bottom exclusive).
    virtual void FillRect(const RECT &rect, COLORREF colour) = 0;
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;

    // Called by every free GDI function with its name; a test DC records them.
    virtual void Note(const char *call) { (void)call; }

    DcState &State() { return state_; }
    const DcState &State() const { return state_; }

    // Where this DC's user messages go; none drops them.
    void SetMessageSink(MessageSink *sink) { sink_ = sink; }
    MessageSink *Sink() const { return sink_; }

private:
    DcState state_;
    MessageSink *sink_ = nullptr;
};

} // namespace gdi
