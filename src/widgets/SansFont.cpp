// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SansFont.h"

QFont SansFont(int pixelSize, bool bold, bool condensed)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    if (condensed)
        font.setStretch(QFont::Condensed);
    return font;
}
