// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/InvertedFrame.h"

#include <QPainter>

InvertedFrame::InvertedFrame(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void InvertedFrame::paintEvent(QPaintEvent *)
{
    // The parent has already painted beneath this widget in the shared backing store,
    // so NOT of the destination inverts exactly what lies under the outline.
    QPainter p(this);
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    const int w = width();
    const int h = height();
    const int t = Thickness;
    p.fillRect(0, 0, w, t, Qt::black);
    p.fillRect(0, h - t, w, t, Qt::black);
    p.fillRect(0, t, t, h - 2 * t, Qt::black);
    p.fillRect(w - t, t, t, h - 2 * t, Qt::black);
}
