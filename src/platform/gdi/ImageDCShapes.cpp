// SPDX-License-Identifier: GPL-3.0-or-later
// The shapes of ImageDC: rectangles, ellipses and rectangle fills.
#include "platform/gdi/ImageDC.h"

#include "platform/gdi/DibView.h"
#include "platform/gdi/ShapePixels.h"

#include <algorithm>

namespace gdi {

void ImageDC::FillRect(const RECT &rect, COLORREF colour)
{
    // FillRect paints with the brush whatever the mix mode.
    const QRect target =
        QRect(QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1)) & Visible();
    if (target.isEmpty())
        return;
    const QRgb pixel = ColourToRgb32(colour);
    for (int y = target.top(); y <= target.bottom(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image_->scanLine(y - origin_.y())) - origin_.x();
        std::fill(row + target.left(), row + target.right() + 1, pixel);
    }
}

namespace {

template <typename MixFn>
void PaintShape(const ShapePixels &shape, const QRect &visible, const DcState &state, MixFn mix)
{
    if (state.brush.style != BS_HOLLOW) {
        const QRgb fill = ColourToRgb32(state.brush.colour);
        for (const Span &span : shape.interior) {
            if (span.y < visible.top() || span.y > visible.bottom())
                continue;
            const int from = std::max(span.left, visible.left());
            const int to = std::min(span.right, visible.right());
            for (int x = from; x <= to; ++x)
                mix(x, span.y, fill);
        }
    }
    if (state.pen.style != PS_NULL) {
        const QRgb ink = ColourToRgb32(state.pen.colour);
        for (const QPoint &p : shape.outline) {
            if (visible.contains(p))
                mix(p.x(), p.y(), ink);
        }
    }
}

} // namespace

void ImageDC::Rectangle(int left, int top, int right, int bottom)
{
    PaintShape(RectanglePixels(left, top, right, bottom), Visible(), State(),
               [this](int x, int y, QRgb c) { Mix(x, y, c); });
}

void ImageDC::Ellipse(int left, int top, int right, int bottom)
{
    // Only the part that shows is traced in full, however large the ellipse.
    if (Visible().isEmpty())
        return;
    PaintShape(EllipsePixels(left, top, right, bottom, Visible()), Visible(), State(),
               [this](int x, int y, QRgb c) { Mix(x, y, c); });
}

} // namespace gdi
