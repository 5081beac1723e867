// SPDX-License-Identifier: GPL-3.0-or-later
// The picture view: zoom and drawing the work raster.
#include "app/MainForm.h"

#include "view/BrushOutline.h"
#include "view/PaintView.h"
#include "view/ViewSize.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

void TMainForm::ZoomEdChange()
{
    const int32_t zoom = ZoomEd->value();
    PaintBox1->resize(view::ScaledSize(RasterWidth(SourceRaster), zoom),
                      view::ScaledSize(RasterHeight(SourceRaster), zoom));
    PaintBox1Paint();
}

void TMainForm::PaintBox1Paint()
{
    HDC dc = PaintBox1->Canvas();
    if (OutlineShown) {
        view::InvertOutline(dc, OutlineRect);
        OutlineShown = false;
    }
    view::PaintView(dc, WorkRaster, ZoomEd->value());
    OutlineShown = false;
    PaintBox1->Present();
}
