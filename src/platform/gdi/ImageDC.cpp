// SPDX-License-Identifier: GPL-3.0-or-later
// The transfers of ImageDC.
#include "platform/gdi/ImageDC.h"

#include "platform/gdi/DibView.h"

#include <algorithm>
#include <vector>

namespace gdi {

namespace {

// Combines a source pixel with the destination under a raster operation.
// Returns false for operations this device does not know.
bool KnownRop(uint32_t rop)
{
    return rop == SRCCOPY || rop == SRCINVERT || rop == NOTSRCCOPY || rop == DSTINVERT;
}

QRgb ApplyRop(uint32_t rop, QRgb dst, QRgb src)
{
    switch (rop) {
    case SRCINVERT: return 0xff000000u | ((dst ^ src) & 0xffffffu);
    case NOTSRCCOPY: return 0xff000000u | (~src & 0xffffffu);
    case DSTINVERT: return 0xff000000u | (~dst & 0xffffffu);
    default: return src;
    }
}

// Source offsets (from the rectangle's first column or row) of destination positions
// from .. to-1 of a span of length dst showing src source positions: nearest
// neighbour, rounding down.
std::vector<int32_t> SpanTable(int64_t from, int64_t to, int64_t dst, int64_t src)
{
    std::vector<int32_t> table;
    table.reserve(size_t(std::max<int64_t>(0, to - from)));
    for (int64_t i = from; i < to; ++i)
        table.push_back(int32_t(src * i / dst));
    return table;
}

} // namespace

void ImageDC::Target(QImage *image, QPoint origin, QRect clip)
{
    image_ = image;
    origin_ = origin;
    clip_ = clip;
}

QRect ImageDC::Visible() const
{
    if (!image_ || image_->isNull())
        return {};
    return clip_ & image_->rect().translated(origin_);
}

RECT ImageDC::ClipBox() const
{
    const QRect v = Visible();
    if (v.isEmpty())
        return {};
    return {v.left(), v.top(), v.right() + 1, v.bottom() + 1};
}

const QImage *ImageDC::Pixels(int *originX, int *originY) const
{
    *originX = origin_.x();
    *originY = origin_.y();
    return image_;
}

void ImageDC::Mix(int x, int y, QRgb colour)
{
    auto *p = reinterpret_cast<QRgb *>(image_->scanLine(y - origin_.y())) + (x - origin_.x());
    if (State().rop2 == R2_NOT)
        *p = 0xff000000u | (~*p & 0xffffffu);
    else
        *p = colour;
}

int ImageDC::SetDIBitsToDevice(int x, int y, int width, int height, int xSrc, int ySrc,
                               int startScan, int lines, const void *bits,
                               const BITMAPINFOHEADER *info)
{
    const DibView dib = ReadDib(info, bits);
    if (!dib.valid || width < 0 || height < 0 || startScan < 0 || lines <= 0)
        return 0;
    const QRect visible = Visible();
    // Destination columns whose source column lies in the bitmap and which are visible.
    const int64_t c0 = std::max({int64_t(0), -int64_t(xSrc), int64_t(visible.left()) - x});
    const int64_t c1 =
        std::min({int64_t(width), int64_t(dib.width) - xSrc, int64_t(visible.right()) + 1 - x});
    const int64_t r0 = std::max<int64_t>(0, int64_t(visible.top()) - y);
    const int64_t r1 = std::min<int64_t>(height, int64_t(visible.bottom()) + 1 - y);
    for (int64_t j = r0; j < r1 && c0 < c1; ++j) {
        // Destination row j shows bitmap row ySrc + height - 1 - j, counted from the
        // bottom; bits hold rows startScan .. startScan + lines - 1.
        const int64_t row = int64_t(ySrc) + height - 1 - j;
        if (row < startScan || row >= int64_t(startScan) + lines || row >= dib.height)
            continue;
        auto *out = reinterpret_cast<QRgb *>(image_->scanLine(int(y + j - origin_.y())))
                    + (x + c0 - origin_.x());
        DibRowToRgb32(dib, dib.Row(int32_t(row - startScan)), int32_t(xSrc + c0), int32_t(c1 - c0),
                      out);
    }
    return lines;
}

int ImageDC::StretchDIBits(int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                           int hSrc, const void *bits, const BITMAPINFOHEADER *info, uint32_t rop)
{
    const DibView dib = ReadDib(info, bits);
    if (!dib.valid || !KnownRop(rop))
        return GDI_ERROR;
    if (wDst <= 0 || hDst <= 0 || wSrc <= 0 || hSrc <= 0)
        return 0;
    const QRect visible = Visible();
    const int64_t c0 = std::max<int64_t>(0, int64_t(visible.left()) - xDst);
    const int64_t c1 = std::min<int64_t>(wDst, int64_t(visible.right()) + 1 - xDst);
    const int64_t r0 = std::max<int64_t>(0, int64_t(visible.top()) - yDst);
    const int64_t r1 = std::min<int64_t>(hDst, int64_t(visible.bottom()) + 1 - yDst);
    if (c0 >= c1 || r0 >= r1)
        return hSrc;
    const std::vector<int32_t> columns = SpanTable(c0, c1, wDst, wSrc);
    for (int64_t j = r0; j < r1; ++j) {
        // The top destination row shows the top row of the source rectangle, which is
        // bitmap row ySrc + hSrc - 1 counted from the bottom.
        const int64_t row = int64_t(ySrc) + hSrc - 1 - int64_t(hSrc) * j / hDst;
        if (row < 0 || row >= dib.height)
            continue;
        const uint8_t *in = dib.Row(int32_t(row));
        auto *out = reinterpret_cast<QRgb *>(image_->scanLine(int(yDst + j - origin_.y())))
                    + (xDst - origin_.x());
        for (int64_t i = c0; i < c1; ++i) {
            const int64_t sx = int64_t(xSrc) + columns[size_t(i - c0)];
            if (sx < 0 || sx >= dib.width)
                continue;
            out[i] = ApplyRop(rop, out[i], DibPixel(dib, in, int32_t(sx)));
        }
    }
    return hSrc;
}

bool ImageDC::StretchBlt(int x, int y, int width, int height, const DeviceContext &src, int xSrc,
                         int ySrc, int wSrc, int hSrc, uint32_t rop)
{
    int sox = 0;
    int soy = 0;
    const QImage *source = src.Pixels(&sox, &soy);
    if (!source || source->isNull() || !KnownRop(rop))
        return false;
    if (width <= 0 || height <= 0 || wSrc <= 0 || hSrc <= 0)
        return true;
    // A copy only when reading from this DC's own pixels, so overlapping rectangles
    // read the picture as it was before the call.
    const QImage ownCopy = source == image_ ? source->copy() : QImage();
    const QImage &from = source == image_ ? ownCopy : *source;
    const QRect visible = Visible();
    const int64_t c0 = std::max<int64_t>(0, int64_t(visible.left()) - x);
    const int64_t c1 = std::min<int64_t>(width, int64_t(visible.right()) + 1 - x);
    const int64_t r0 = std::max<int64_t>(0, int64_t(visible.top()) - y);
    const int64_t r1 = std::min<int64_t>(height, int64_t(visible.bottom()) + 1 - y);
    if (c0 >= c1 || r0 >= r1)
        return true;
    const std::vector<int32_t> columns = SpanTable(c0, c1, width, wSrc);
    for (int64_t j = r0; j < r1; ++j) {
        const int64_t sy = int64_t(ySrc) + int64_t(hSrc) * j / height - soy;
        if (sy < 0 || sy >= from.height())
            continue;
        const auto *in = reinterpret_cast<const QRgb *>(from.constScanLine(int(sy)));
        auto *out = reinterpret_cast<QRgb *>(image_->scanLine(int(y + j - origin_.y())))
                    + (x - origin_.x());
        for (int64_t i = c0; i < c1; ++i) {
            const int64_t sx = int64_t(xSrc) + columns[size_t(i - c0)] - sox;
            if (sx < 0 || sx >= from.width())
                continue;
            out[i] = ApplyRop(rop, out[i], 0xff000000u | in[sx]);
        }
    }
    return true;
}

} // namespace gdi
