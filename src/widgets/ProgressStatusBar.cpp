// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ProgressStatusBar.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Panels start 2 pixels below the bar's top edge, which carries a light line.
constexpr int kPanelTop = 2;

} // namespace

ProgressStatusBar::ProgressStatusBar(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The surface covers every pixel; Qt need not clear the widget first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ProgressStatusBar::sizeHint() const
{
    return {kFirstPanelWidth + 100, kHeight};
}

QRect ProgressStatusBar::PanelRect(int panel) const
{
    if (panel == 0)
        return QRect(QPoint(0, kPanelTop), QPoint(kFirstPanelWidth - 3, kHeight - 1));
    return QRect(QPoint(kFirstPanelWidth, kPanelTop), QPoint(width() - 1, kHeight - 1));
}

void ProgressStatusBar::RepaintNow()
{
    rendered_ = false;
    if (isVisible())
        repaint();
}

void ProgressStatusBar::FillNow(const QRect &rect, QRgb colour)
{
    colour |= 0xff000000u;
    if (!rendered_)
        return;
    const QRect target = rect & surface_.rect();
    if (target.isEmpty())
        return;
    // The previous fill is on the surface in lastColour_; a fill that continues it
    // changes only the columns right of it.
    QRect fresh = target;
    if (colour == lastColour_ && target.top() == lastFill_.top()
        && target.bottom() == lastFill_.bottom() && target.left() == lastFill_.left()
        && target.right() >= lastFill_.right())
        fresh.setLeft(lastFill_.right() + 1);
    lastFill_ = target;
    lastColour_ = colour;
    if (fresh.isEmpty())
        return;
    for (int y = fresh.top(); y <= fresh.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb *>(surface_.scanLine(y)) + fresh.left(), fresh.width(),
                    colour);
    repaint(fresh);
}

void ProgressStatusBar::Render()
{
    if (surface_.size() != size())
        surface_ = QImage(size(), QImage::Format_RGB32);
    if (surface_.isNull())
        return;
    const QColor face = palette().color(QPalette::Button);
    QPainter painter(&surface_);
    painter.fillRect(surface_.rect(), face);
    painter.setPen(face.lighter(130));
    painter.drawLine(0, 0, width() - 1, 0);
    // The first panel: an empty sunken box.
    const QRect first = PanelRect(0);
    painter.setPen(face.darker(140));
    painter.drawLine(first.topLeft(), first.topRight());
    painter.drawLine(first.topLeft(), first.bottomLeft());
    painter.setPen(face.lighter(130));
    painter.drawLine(first.bottomLeft(), first.bottomRight());
    painter.drawLine(first.topRight(), first.bottomRight());

    rendered_ = true;
    lastFill_ = QRect();
    if (drawPanel_) {
        painter.setPen(Qt::NoPen);
        canvas_ = &painter;
        drawPanel_(this, kOwnerDrawnPanel, PanelRect(kOwnerDrawnPanel));
        canvas_ = nullptr;
    }
}

bool ProgressStatusBar::event(QEvent *event)
{
    // The text panel stays empty: hints of the controls are not shown here.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QWidget::event(event);
}

void ProgressStatusBar::paintEvent(QPaintEvent *event)
{
    if (!rendered_ || surface_.size() != size())
        Render();
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), surface_, event->rect());
}

void ProgressStatusBar::resizeEvent(QResizeEvent *event)
{
    rendered_ = false;
    QWidget::resizeEvent(event);
}
