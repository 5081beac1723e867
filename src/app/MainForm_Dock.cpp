// SPDX-License-Identifier: GPL-3.0-or-later
// Dragging the left tool bar to another edge of OuterPanel. A press on an empty part of
// the bar (its own area or a label, not a button or spin edit) followed by a move of 5
// pixels or more in either direction starts the drag; an inverted frame shows where the
// bar would go and is redrawn only when that place changes; the release docks the bar.
#include "app/MainForm.h"

#include "widgets/AlignPanel.h"
#include "widgets/InvertedFrame.h"

#include <QMouseEvent>

#include <cstdlib>

namespace {

constexpr int DragThreshold = 5;
constexpr int VerticalBarWidth = 89;
constexpr int HorizontalBarHeight = 72;

} // namespace

QRect TMainForm::DockFrameRect(view::DockEdge edge) const
{
    // The room below the top bar, where the tool bar lies at any edge.
    QRect r = OuterPanel->contentsRect();
    r.setTop(r.top() + Panel7->height());
    switch (edge) {
    case view::DockEdge::Left: return {r.left(), r.top(), VerticalBarWidth, r.height()};
    case view::DockEdge::Right:
        return {r.right() + 1 - VerticalBarWidth, r.top(), VerticalBarWidth, r.height()};
    case view::DockEdge::Top: return {r.left(), r.top(), r.width(), HorizontalBarHeight};
    case view::DockEdge::Bottom:
        return {r.left(), r.bottom() + 1 - HorizontalBarHeight, r.width(), HorizontalBarHeight};
    }
    return r;
}

void TMainForm::DrawDockFrame(view::DockEdge edge)
{
    if (!dockFrame_)
        dockFrame_ = new InvertedFrame(OuterPanel);
    dockFrame_->setObjectName(QStringLiteral("DockFrame"));
    dockFrame_->setGeometry(DockFrameRect(edge));
    dockFrame_->raise();
    dockFrame_->show();
    dockTarget_ = edge;
}

void TMainForm::RemoveDockFrame()
{
    if (dockFrame_)
        dockFrame_->hide();
}

void TMainForm::DockSpeedBar(view::DockEdge edge)
{
    dockEdge_ = edge;
    const bool vertical = edge == view::DockEdge::Left || edge == view::DockEdge::Right;
    if (vertical)
        SpeedBar1->resize(VerticalBarWidth, SpeedBar1->height());
    else
        SpeedBar1->resize(SpeedBar1->width(), HorizontalBarHeight);
    const Align side = edge == view::DockEdge::Left    ? Align::Left
                       : edge == view::DockEdge::Right ? Align::Right
                       : edge == view::DockEdge::Top   ? Align::Top
                                                       : Align::Bottom;
    // The bar keeps to the outside of the palette panel and the middle area: give
    // those their places again after it.
    OuterPanel->setAlign(SpeedBar1, side);
    OuterPanel->setAlign(Panel20, Align::None);
    OuterPanel->setAlign(Panel20, Align::Right);
    OuterPanel->setAlign(Panel4, Align::None);
    OuterPanel->setAlign(Panel4, Align::Client);
    LayOutSpeedBar();
}

bool TMainForm::SpeedBarMouse(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton)
            return false;
        dockPressed_ = true;
        dockDragging_ = false;
        dockPressPoint_ = e->globalPosition().toPoint();
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (!dockPressed_)
            return false;
        const QPoint global = e->globalPosition().toPoint();
        if (!dockDragging_) {
            const QPoint d = global - dockPressPoint_;
            if (std::abs(d.x()) < DragThreshold && std::abs(d.y()) < DragThreshold)
                return true;
            dockDragging_ = true;
            SpeedBar1->setCursor(Qt::DragMoveCursor);
        }
        const QPoint p = OuterPanel->mapFromGlobal(global) - OuterPanel->contentsRect().topLeft();
        const QRect area = OuterPanel->contentsRect();
        const view::DockEdge target =
            view::DockTargetEdge(p.x(), p.y(), area.width(), area.height());
        if (!dockFrame_ || dockFrame_->isHidden() || target != dockTarget_)
            DrawDockFrame(target);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton || !dockPressed_)
            return false;
        dockPressed_ = false;
        if (dockDragging_) {
            dockDragging_ = false;
            SpeedBar1->unsetCursor();
            RemoveDockFrame();
            DockSpeedBar(dockTarget_);
        }
        return true;
    }
    default: return false;
    }
}
