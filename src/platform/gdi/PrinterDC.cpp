// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/PrinterDC.h"

#include "platform/gdi/DibView.h"
#include "platform/gdi/SurfaceDC.h"

#include <QPaintDevice>
#include <QPainter>

namespace gdi {

namespace {

// Bitmap rows bottom .. bottom + rows - 1 (counted from the bottom), columns
// left .. left + columns - 1, as an image with the top row first. Parts outside the
// bitmap stay white.
QImage DibPart(const DibView &dib, int left, int bottom, int columns, int rows)
{
    QImage image(columns, rows, QImage::Format_RGB32);
    image.fill(0xffffffffu);
    for (int j = 0; j < rows; ++j) {
        const int64_t row = int64_t(bottom) + rows - 1 - j;
        if (row < 0 || row >= dib.height)
            continue;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(j));
        for (int i = 0; i < columns; ++i) {
            const int64_t x = int64_t(left) + i;
            if (x >= 0 && x < dib.width)
                out[i] = DibPixel(dib, dib.Row(int32_t(row)), int32_t(x));
        }
    }
    return image;
}

} // namespace

PrinterDC::PrinterDC(QPainter &painter) : painter_(painter), screenBits_(PrimaryScreenDepth()) {}

RECT PrinterDC::ClipBox() const
{
    const QPaintDevice *device = painter_.device();
    if (!device)
        return {};
    return {0, 0, device->width(), device->height()};
}

int PrinterDC::SetDIBitsToDevice(int x, int y, int width, int height, int xSrc, int ySrc,
                                 int startScan, int lines, const void *bits,
                                 const BITMAPINFOHEADER *info)
{
    const DibView dib = ReadDib(info, bits);
    if (!dib.valid || width <= 0 || height <= 0 || startScan != 0 || lines <= 0)
        return 0;
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.drawImage(QPoint(x, y), DibPart(dib, xSrc, ySrc, width, height));
    return lines;
}

int PrinterDC::StretchDIBits(int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                             int hSrc, const void *bits, const BITMAPINFOHEADER *info, uint32_t rop)
{
    const DibView dib = ReadDib(info, bits);
    if (!dib.valid || rop != SRCCOPY)
        return GDI_ERROR;
    if (wDst <= 0 || hDst <= 0 || wSrc <= 0 || hSrc <= 0)
        return 0;
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.drawImage(QRect(xDst, yDst, wDst, hDst), DibPart(dib, xSrc, ySrc, wSrc, hSrc));
    return hSrc;
}

bool PrinterDC::StretchBlt(int x, int y, int width, int height, const DeviceContext &src, int xSrc,
                           int ySrc, int wSrc, int hSrc, uint32_t rop)
{
    int ox = 0;
    int oy = 0;
    const QImage *source = src.Pixels(&ox, &oy);
    if (!source || rop != SRCCOPY)
        return false;
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.drawImage(QRect(x, y, width, height), *source,
                       QRect(xSrc - ox, ySrc - oy, wSrc, hSrc));
    return true;
}

void PrinterDC::UseState()
{
    const DcState &state = State();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setCompositionMode(state.rop2 == R2_NOT ? QPainter::RasterOp_NotDestination
                                                     : QPainter::CompositionMode_SourceOver);
    if (state.pen.style == PS_NULL)
        painter_.setPen(Qt::NoPen);
    else
        painter_.setPen(QPen(QColor::fromRgb(ColourToRgb32(state.pen.colour)), 0));
    if (state.brush.style == BS_HOLLOW)
        painter_.setBrush(Qt::NoBrush);
    else
        painter_.setBrush(QColor::fromRgb(ColourToRgb32(state.brush.colour)));
}

void PrinterDC::FillRect(const RECT &rect, COLORREF colour)
{
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.fillRect(QRect(QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1)),
                      QColor::fromRgb(ColourToRgb32(colour)));
}

void PrinterDC::Rectangle(int left, int top, int right, int bottom)
{
    UseState();
    painter_.drawRect(QRect(QPoint(left, top), QPoint(right - 2, bottom - 2)));
}

void PrinterDC::Ellipse(int left, int top, int right, int bottom)
{
    UseState();
    painter_.drawEllipse(QRect(QPoint(left, top), QPoint(right - 2, bottom - 2)));
}

} // namespace gdi
