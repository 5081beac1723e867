// SPDX-License-Identifier: GPL-3.0-or-later
// A printer device context over a QPainter that is active on any paint device (the
// windows hand it one on a QPrinter). Device coordinates are the painter's logical
// coordinates. It keeps no pixels, so it can be a StretchBlt target but not a source.
#pragma once

#include "platform/gdi/DeviceContext.h"

class QPainter;

namespace gdi {

class PrinterDC final : public DeviceContext {
public:
    explicit PrinterDC(QPainter &painter);

    int Technology() const override { return DT_RASPRINTER; }
    int BitsPixel() const override { return 24; }
    int ScreenBitsPerPixel() const override { return screenBits_; }
    RECT ClipBox() const override;

    int SetDIBitsToDevice(int x, int y, int width, int height, int xSrc, int ySrc, int startScan,
                          int lines, const void *bits, const BITMAPINFOHEADER *info) override;
    int StretchDIBits(int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                      int hSrc, const void *bits, const BITMAPINFOHEADER *info,
                      uint32_t rop) override;
    bool StretchBlt(int x, int y, int width, int height, const DeviceContext &src, int xSrc,
                    int ySrc, int wSrc, int hSrc, uint32_t rop) override;

    void FillRect(const RECT &rect, COLORREF colour) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;

private:
    // Sets the painter's pen, brush and composition from the DC state.
    void UseState();

    QPainter &painter_;
    int screenBits_;
};

} // namespace gdi
