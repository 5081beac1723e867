// SPDX-License-Identifier: GPL-3.0-or-later
// The picture view: zoom, drawing the work raster, and the original shown instead
// while the backslash key is held.
#include "app/MainForm.h"

#include "view/BrushOutline.h"
#include "view/PaintView.h"
#include "view/ViewSize.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

#include <QKeyEvent>

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
    view::PaintView(dc, ShownRaster(), ZoomEd->value());
    OutlineShown = false;
    PaintBox1->Present();
}

const RasterImage &TMainForm::ShownRaster() const
{
    return ShowingOriginal ? SourceRaster : WorkRaster;
}

void TMainForm::FormKeyDown(int Key)
{
    if (Key != Qt::Key_Backslash || ShowingOriginal || Painting)
        return;
    ShowingOriginal = true;
    PaintBox1Paint();
}

void TMainForm::FormKeyUp(int Key)
{
    if (Key == Qt::Key_Backslash)
        EndShowingOriginal();
}

void TMainForm::EndShowingOriginal()
{
    if (!ShowingOriginal)
        return;
    ShowingOriginal = false;
    PaintBox1Paint();
}

void TMainForm::keyPressEvent(QKeyEvent *event)
{
    // A held key repeats as press and release pairs marked as repeats: only the first
    // press and the last release count.
    if (event->key() == Qt::Key_Backslash) {
        if (!event->isAutoRepeat())
            FormKeyDown(event->key());
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainForm::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backslash) {
        if (!event->isAutoRepeat())
            FormKeyUp(event->key());
        event->accept();
        return;
    }
    QMainWindow::keyReleaseEvent(event);
}
