// SPDX-License-Identifier: GPL-3.0-or-later
// The picture view: zoom and drawing the work raster.
#include "app/MainForm.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/SpinEdit.h"
#include "view/DrawRaster.h"

#include <algorithm>

namespace {

// (size x zoom) div 100; 0 for a zoom of 0 or less, which can stand in the field while
// the user types. Kept within what a widget can be.
int ScaledSize(int32_t size, int64_t zoom)
{
    if (zoom <= 0)
        return 0;
    return int(std::min<int64_t>(int64_t(size) * zoom / 100, QWIDGETSIZE_MAX));
}

} // namespace

void TMainForm::ZoomEdChange()
{
    const int64_t zoom = ZoomEd->value();
    PaintBox1->resize(ScaledSize(RasterWidth(SourceRaster), zoom),
                      ScaledSize(RasterHeight(SourceRaster), zoom));
    PaintBox1Paint();
}

void TMainForm::PaintBox1Paint()
{
    HDC dc = PaintBox1->Canvas();
    if (OutlineShown) {
        // The same inverting hollow ellipse as the brush drew, which restores the view.
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
        const int oldMode = SetROP2(dc, R2_NOT);
        Ellipse(dc, OutlineRect.Left, OutlineRect.Top, OutlineRect.Right, OutlineRect.Bottom);
        SetROP2(dc, oldMode);
        SelectObject(dc, oldBrush);
        OutlineShown = false;
    }
    const int64_t zoom = ZoomEd->value();
    const int32_t dw = ScaledSize(RasterWidth(WorkRaster), zoom);
    const int32_t dh = ScaledSize(RasterHeight(WorkRaster), zoom);
    if (dw > 0 && dh > 0) {
        DrawRaster(dc, 0, 0, dw, dh, WorkRaster, 0, 0, RasterWidth(WorkRaster),
                   RasterHeight(WorkRaster), true, SRCCOPY, true, nullptr);
    }
    OutlineShown = false;
    PaintBox1->Present();
}
