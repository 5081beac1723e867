// SPDX-License-Identifier: GPL-3.0-or-later
// Brush strokes on the picture view: the mouse and timer handlers, the stamp, the line
// of stamps and the per-pixel operation. The pixel work is the headless view code;
// these handlers read the controls, call it, and show the result.
//
// The mouse: Qt grabs it for PaintBox1 from a button press to the release of the last
// button held, so moves and the release outside the view still arrive here, as with a
// captured mouse. Any button paints; a press while painting is ignored and the first
// release ends the stroke. While the zoom text reads 0 or less the view is empty and
// presses and moves are ignored (a release still ends a stroke); so are presses while
// the view shows the original.
//
// Each stroke step goes through the undo history, which notes what the step may
// overwrite before it paints with the fast brush. With Follow edges checked, the release
// spreads the stroke's colour (colour/EdgeSpread.h) as part of the same step.
//
// The repaint after a stroke step draws, through the view's own drawing, only the view
// rectangle that shows the raster pixels the step wrote, after removing the outline.
// Elsewhere the picture on the view is already the current one, so the view ends up
// exactly as a full PaintBox1Paint leaves it.
#include "app/MainForm.h"

#include "colour/DoPix.h"
#include "view/BrushGeometry.h"
#include "view/BrushOutline.h"
#include "view/BrushStroke.h"
#include "view/PaintView.h"
#include "view/RasterToViewRect.h"
#include "widgets/QtRect.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

#include <QCheckBox>
#include <QTimer>
#include <QToolButton>

void TMainForm::PaintBox1MouseDown(Qt::MouseButton, ShiftState, int X, int Y)
{
    if (Painting || ShowingOriginal || ZoomEd->value() <= 0)
        return;
    LastMouseX = X;
    LastMouseY = Y;
    Painting = true;
    Timer1->start();
    UndoHistory.BeginStroke();
    const int32_t zoom = ZoomEd->value();
    RepaintStroke(
        DoBrush(view::MapViewToRaster(X, zoom), view::MapViewToRaster(Y, zoom), CurHue, CurSat));
}

void TMainForm::PaintBox1MouseMove(ShiftState, int X, int Y)
{
    const int32_t zoom = ZoomEd->value();
    if (zoom <= 0)
        return;
    EraseOutline();
    if (Painting) {
        const Rect changed = BrushLine(
            view::MapViewToRaster(LastMouseX, zoom), view::MapViewToRaster(LastMouseY, zoom),
            view::MapViewToRaster(X, zoom), view::MapViewToRaster(Y, zoom), CurHue, CurSat);
        LastMouseX = X;
        LastMouseY = Y;
        RepaintStroke(changed);
    }
    DrawOutline(X, Y);
}

void TMainForm::PaintBox1MouseUp(Qt::MouseButton, ShiftState, int X, int Y)
{
    if (!Painting)
        return;
    LastMouseX = X;
    LastMouseY = Y;
    Painting = false;
    Timer1->stop();
    // With Follow edges the stroke's colour spreads now, before any later event is
    // handled; a large spread shows its progress in the status bar, and is shown before
    // the history keeps what it overwrote.
    UndoHistory.EndStroke(SourceRaster, WorkRaster, StatusBarProgress(),
                          [this, X, Y](const Rect &spread) {
                              RepaintStroke(spread);
                              DrawOutline(X, Y);
                          });
    RecoveryStep();
}

void TMainForm::FollowEdgesCheckClick()
{
    if (FollowEdgesCheck->isChecked())
        UndoHistory.PrepareSpreads(SourceRaster, WorkRaster);
}

void TMainForm::Timer1Timer()
{
    PaintBox1MouseMove(ShiftState{}, LastMouseX, LastMouseY);
}

Rect TMainForm::DoBrush(int cx, int cy, int hue, int sat)
{
    return UndoHistory.PaintStroke(SourceRaster, WorkRaster, cx, cy, cx, cy, StrokeNow(hue, sat));
}

Rect TMainForm::BrushLine(int x1, int y1, int x2, int y2, int hue, int sat)
{
    return UndoHistory.PaintStroke(SourceRaster, WorkRaster, x1, y1, x2, y2, StrokeNow(hue, sat));
}

void TMainForm::DoPix(int x, int y, int hue, int sat, int bright)
{
    colour::DoPix(SourceRaster, WorkRaster, x, y, hue, sat, bright, ColorierenBtn->isChecked());
}

view::StrokeParams TMainForm::StrokeNow(int32_t hue, int32_t sat) const
{
    // The brightness is read once per step: nothing can change it while a handler runs,
    // so this equals reading it for each pixel.
    view::StrokeParams params;
    params.radius = view::BrushRadius(RadiusED->value());
    params.hue = hue;
    params.saturation = sat;
    params.brightness = BrightEd->value();
    params.colorize = ColorierenBtn->isChecked();
    params.keepTones = KeepTonesCheck->isChecked();
    params.followEdges = FollowEdgesCheck->isChecked();
    return params;
}

void TMainForm::RepaintStroke(const Rect &changed)
{
    EraseOutline();
    const Rect shown = view::RasterToViewRect(changed, RasterWidth(WorkRaster),
                                              RasterHeight(WorkRaster), ZoomEd->value());
    if (!shown.Empty()) {
        view::PaintView(PaintBox1->CanvasClipped(ToQRect(shown)), ShownRaster(), ZoomEd->value());
        PaintBox1->Present();
    }
    OutlineShown = false;
}

void TMainForm::EraseOutline()
{
    if (!OutlineShown)
        return;
    view::InvertOutline(PaintBox1->Canvas(), OutlineRect);
    PaintBox1->Present();
    OutlineShown = false;
}

void TMainForm::DrawOutline(int32_t x, int32_t y)
{
    const std::optional<Rect> outline =
        view::BrushOutline(x, y, view::BrushRadius(RadiusED->value()), ZoomEd->value());
    if (!outline)
        return;
    OutlineRect = *outline;
    view::InvertOutline(PaintBox1->Canvas(), OutlineRect);
    PaintBox1->Present();
    OutlineShown = true;
}
