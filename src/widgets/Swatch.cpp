// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/Swatch.h"

#include <QPainter>

Swatch::Swatch(QWidget *parent) : QWidget(parent) {}

void Swatch::setFillColour(uint32_t colour)
{
    colour_ = colour & 0xFFFFFFu;
    repaint();
}

void Swatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(
        QColor(int(colour_ & 0xFF), int((colour_ >> 8) & 0xFF), int((colour_ >> 16) & 0xFF)));
    p.drawRect(0, 0, width() - 1, height() - 1);
}
