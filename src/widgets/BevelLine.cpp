// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/BevelLine.h"

#include <QPainter>

void BevelLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int y = height() - 2;
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, y, width() - 1, y);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, y + 1, width() - 1, y + 1);
}
