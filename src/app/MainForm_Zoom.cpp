// SPDX-License-Identifier: GPL-3.0-or-later
// Zoom from the mouse wheel and the keys. Each goes through ZoomEd (so ZoomEdChange runs
// and the box's range holds) and then scrolls the view so that the picture point under
// the pointer, or at the centre of the visible area for the keys, stays where it was.
// The arithmetic is the headless view code; these handlers read the event, set the box
// and the scroll bars.
#include "app/MainForm.h"

#include "view/FitZoom.h"
#include "view/ZoomScroll.h"
#include "widgets/SpinEdit.h"

#include <QCoreApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

// The angle of one notch of a mouse wheel; smooth-scrolling devices send parts of it.
constexpr int kWheelNotch = 120;

} // namespace

bool TMainForm::ScrollBox1MouseWheel(Qt::KeyboardModifiers Shift, QPoint WheelDelta,
                                     QPoint MousePos)
{
    if (Shift & Qt::ControlModifier) {
        ZoomWheelAngle += WheelDelta.y();
        const int steps = ZoomWheelAngle / kWheelNotch;
        ZoomWheelAngle %= kWheelNotch;
        if (steps != 0)
            ZoomAbout(int64_t(ZoomEd->value()) + int64_t(steps) * ZoomEd->singleStep(), MousePos);
        return true;
    }
    if (Shift & Qt::ShiftModifier) {
        // Sideways: the same turn, given to the horizontal scroll bar as a plain one.
        QWheelEvent sideways(QPointF(MousePos), QPointF(ScrollBox1->mapToGlobal(MousePos)),
                             QPoint(), WheelDelta, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                             false);
        QCoreApplication::sendEvent(ScrollBox1->horizontalScrollBar(), &sideways);
        return true;
    }
    return false;
}

void TMainForm::ZoomInStep()
{
    ZoomAbout(int64_t(ZoomEd->value()) + ZoomEd->singleStep(), ViewCentre());
}

void TMainForm::ZoomOutStep()
{
    ZoomAbout(int64_t(ZoomEd->value()) - ZoomEd->singleStep(), ViewCentre());
}

void TMainForm::ZoomHundred()
{
    ZoomAbout(100, ViewCentre());
}

void TMainForm::ZoomFit()
{
    // The area without scroll bars: the whole picture fitting needs none.
    const QSize area = ScrollBox1->maximumViewportSize();
    ZoomAbout(view::FitZoom(RasterWidth(SourceRaster), RasterHeight(SourceRaster), area.width(),
                            area.height(),
                            {ZoomEd->minimum(), ZoomEd->maximum(), ZoomEd->singleStep()}),
              ViewCentre());
}

void TMainForm::ZoomAbout(int64_t zoom, QPoint at)
{
    QScrollBar *across = ScrollBox1->horizontalScrollBar();
    QScrollBar *down = ScrollBox1->verticalScrollBar();
    const int32_t oldZoom = ZoomEd->value();
    const int across0 = across->value();
    const int down0 = down->value();
    ZoomEd->setValue(int(std::clamp<int64_t>(zoom, ZoomEd->minimum(), ZoomEd->maximum())));
    const int32_t newZoom = ZoomEd->value();
    across->setValue(
        view::ScrollForZoom(RasterWidth(SourceRaster), across0, at.x(), oldZoom, newZoom));
    down->setValue(
        view::ScrollForZoom(RasterHeight(SourceRaster), down0, at.y(), oldZoom, newZoom));
}

QPoint TMainForm::ViewCentre() const
{
    const QSize visible = ScrollBox1->viewport()->size();
    return {visible.width() / 2, visible.height() / 2};
}
