// SPDX-License-Identifier: GPL-3.0-or-later
// Brush strokes on the picture view: the mouse and timer handlers, the stamp, the line
// of stamps and the per-pixel operation. The pixel work is the headless view code;
// these handlers read the controls, call it, and show the result.
//
// The mouse: Qt grabs it for PaintBox1 from a button press to the release of the last
// button held, so moves and the release outside the view still arrive here, as with a
// captured mouse. Any button paints; a press while painting is ignored and the first
// release ends the stroke. While the zoom text reads 0 or less the view is empty and
// presses and moves are ignored (a release still ends a stroke).
//
// The repaint after a stroke step draws, through DrawRaster with the arguments of
// PaintBox1Paint, only the view rectangle that shows the raster pixels the step wrote,
// after removing the outline. Elsewhere the picture on the view is already the current
// one, so the view ends up exactly as a full PaintBox1Paint leaves it.
#include "app/MainForm.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/SurfacePaintBox.h"
#include "view/BrushGeometry.h"
#include "view/BrushStroke.h"
#include "view/DoPix.h"
#include "view/DrawRaster.h"
#include "view/RasterToViewRect.h"

#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

// The largest brush radius used, in raster pixels. The radius field can hold any
// number while it is typed into; a radius beyond the largest picture side (32767)
// would only make the outline ellipse enormous to trace.
constexpr int32_t kLargestRadius = 32767;

int32_t Radius(const TMainForm &form)
{
    return std::min(form.RadiusED->value(), kLargestRadius);
}

int32_t Zoom(const TMainForm &form)
{
    return form.ZoomEd->value();
}

int32_t Map(const TMainForm &form, int32_t v)
{
    return view::MapViewToRaster(v, Zoom(form));
}

// The parameters every pixel of one step gets. The brightness is read once: nothing
// can change it while a handler runs, so this equals reading it for each pixel.
view::StrokeParams CurrentStroke(const TMainForm &form, int32_t hue, int32_t sat)
{
    view::StrokeParams params;
    params.radius = Radius(form);
    params.hue = hue;
    params.saturation = sat;
    params.brightness = form.BrightEd->value();
    params.colorize = form.ColorierenBtn->isChecked();
    return params;
}

// One stroke step from raster (x1, y1) to (x2, y2); the raster rectangle it wrote.
view::IntRect Stroke(TMainForm &form, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t hue,
                     int32_t sat)
{
    return view::StrokeLine(form.SourceRaster, form.WorkRaster, x1, y1, x2, y2,
                            CurrentStroke(form, hue, sat));
}

SurfacePaintBox *View(const TMainForm &form)
{
    return form.PaintBox1;
}

// The hollow ellipse in rect with the inverting pen; drawn twice it leaves the view as
// it was. The canvas goes back to a solid brush and the plain copy pen afterwards.
void InvertEllipse(SurfacePaintBox &box, const WinRect &rect)
{
    HDC dc = box.Canvas();
    HGDIOBJ brush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    SetROP2(dc, R2_NOT);
    Ellipse(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    SetROP2(dc, R2_COPYPEN);
    SelectObject(dc, brush);
    box.Present();
}

void EraseOutline(TMainForm &form)
{
    if (!form.OutlineShown)
        return;
    if (SurfacePaintBox *box = View(form))
        InvertEllipse(*box, form.OutlineRect);
    form.OutlineShown = false;
}

// An outline wider or higher than this many view pixels is not drawn. Only a zoom
// still being typed far beyond its range gets there, and tracing such an ellipse would
// stall the window.
constexpr int64_t kLargestOutline = int64_t(1) << 20;

void DrawOutline(TMainForm &form, int32_t x, int32_t y)
{
    const view::IntRect r = view::BrushOutlineRect(x, y, Radius(form), Zoom(form));
    if (int64_t(r.right) - r.left > kLargestOutline || int64_t(r.bottom) - r.top > kLargestOutline)
        return;
    form.OutlineRect = WinRect{r.left, r.top, r.right, r.bottom};
    if (SurfacePaintBox *box = View(form))
        InvertEllipse(*box, form.OutlineRect);
    form.OutlineShown = true;
}

// Removes the outline and redraws the part of the view that shows changed.
void RepaintChanged(TMainForm &form, const view::IntRect &changed)
{
    EraseOutline(form);
    SurfacePaintBox *box = View(form);
    const int32_t width = RasterWidth(form.WorkRaster);
    const int32_t height = RasterHeight(form.WorkRaster);
    const int32_t zoom = Zoom(form);
    const view::IntRect shown = view::RasterToViewRect(changed, width, height, zoom);
    if (box && !shown.Empty()) {
        const QRect clip(QPoint(shown.left, shown.top), QPoint(shown.right - 1, shown.bottom - 1));
        HDC dc = box->CanvasClipped(clip);
        DrawRaster(dc, 0, 0, int32_t(int64_t(width) * zoom / 100),
                   int32_t(int64_t(height) * zoom / 100), form.WorkRaster, 0, 0, width, height,
                   true, SRCCOPY, true, nullptr);
        box->Present();
    }
    form.OutlineShown = false;
}

} // namespace

void TMainForm::PaintBox1MouseDown(Qt::MouseButton, ShiftState, int X, int Y)
{
    if (Painting || Zoom(*this) <= 0)
        return;
    LastMouseX = X;
    LastMouseY = Y;
    Painting = true;
    Timer1->start();
    const int32_t cx = Map(*this, X);
    const int32_t cy = Map(*this, Y);
    RepaintChanged(*this, Stroke(*this, cx, cy, cx, cy, CurHue, CurSat));
}

void TMainForm::PaintBox1MouseMove(ShiftState, int X, int Y)
{
    if (Zoom(*this) <= 0)
        return;
    EraseOutline(*this);
    if (Painting) {
        const view::IntRect changed = Stroke(*this, Map(*this, LastMouseX), Map(*this, LastMouseY),
                                             Map(*this, X), Map(*this, Y), CurHue, CurSat);
        LastMouseX = X;
        LastMouseY = Y;
        RepaintChanged(*this, changed);
    }
    DrawOutline(*this, X, Y);
}

void TMainForm::PaintBox1MouseUp(Qt::MouseButton, ShiftState, int X, int Y)
{
    if (!Painting)
        return;
    LastMouseX = X;
    LastMouseY = Y;
    Painting = false;
    Timer1->stop();
}

void TMainForm::Timer1Timer()
{
    PaintBox1MouseMove(ShiftState{}, LastMouseX, LastMouseY);
}

void TMainForm::DoBrush(int cx, int cy, int hue, int sat)
{
    Stroke(*this, cx, cy, cx, cy, hue, sat);
}

void TMainForm::BrushLine(int x1, int y1, int x2, int y2, int hue, int sat)
{
    Stroke(*this, x1, y1, x2, y2, hue, sat);
}

void TMainForm::DoPix(int x, int y, int hue, int sat, int bright)
{
    view::DoPix(SourceRaster, WorkRaster, x, y, hue, sat, bright, ColorierenBtn->isChecked());
}
