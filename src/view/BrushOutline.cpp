// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/BrushOutline.h"

#include "platform/gdi/Gdi.h"
#include "view/BrushGeometry.h"

#include <cstdlib>

namespace view {

std::optional<Rect> BrushOutline(int32_t x, int32_t y, int32_t radius, int32_t zoom)
{
    const Rect r = BrushOutlineRect(x, y, radius, zoom);
    if (std::llabs(int64_t(r.Right) - r.Left) > kLargestOutline
        || std::llabs(int64_t(r.Bottom) - r.Top) > kLargestOutline)
        return std::nullopt;
    return r;
}

void InvertOutline(HDC dc, const Rect &rect)
{
    HGDIOBJ brush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    SetROP2(dc, R2_NOT);
    Ellipse(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    SetROP2(dc, R2_COPYPEN);
    SelectObject(dc, brush);
}

} // namespace view
