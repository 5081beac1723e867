// SPDX-License-Identifier: GPL-3.0-or-later
// A device context whose pixels live in a QImage (Format_RGB32): device point (x, y) is
// image pixel (x - originX, y - originY). Drawing touches only the clip rectangle
// (device coordinates) intersected with the image, and is exact to the pixel: the
// transfers scale by repeating or dropping whole pixels, and shapes are rasterised
// here rather than by QPainter, so an R2_NOT shape drawn twice restores every pixel.
#pragma once

#include "platform/gdi/DeviceContext.h"

#include <QImage>
#include <QRect>

namespace gdi {

class ImageDC : public DeviceContext {
public:
    RECT ClipBox() const override;

    int SetDIBitsToDevice(int x, int y, int width, int height, int xSrc, int ySrc, int startScan,
                          int lines, const void *bits, const BITMAPINFOHEADER *info) override;
    int StretchDIBits(int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                      int hSrc, const void *bits, const BITMAPINFOHEADER *info,
                      uint32_t rop) override;
    bool StretchBlt(int x, int y, int width, int height, const DeviceContext &src, int xSrc,
                    int ySrc, int wSrc, int hSrc, uint32_t rop) override;
    const QImage *Pixels(int *originX, int *originY) const override;

    void FillRect(const RECT &rect, COLORREF colour) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;

protected:
    ImageDC() = default;
    // Points the DC at other pixels (null: none) with the given origin and clip.
    void Target(QImage *image, QPoint origin, QRect clip);
    void SetClipRect(QRect clip) { clip_ = clip; }
    QRect ClipRect() const { return clip_; }

private:
    // The clip rectangle intersected with the image, in device coordinates.
    QRect Visible() const;
    // Applies the current mix mode with colour to device pixel (x, y), which must be
    // visible.
    void Mix(int x, int y, QRgb colour);

    QImage *image_ = nullptr;
    QPoint origin_;
    QRect clip_;
};

} // namespace gdi
