// SPDX-License-Identifier: GPL-3.0-or-later
// The program's rectangle and Qt's, which counts its right and bottom edges inclusive.
#pragma once

#include "platform/gdi/Rect.h"

#include <QRect>

inline QRect ToQRect(const Rect &r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

inline Rect FromQRect(const QRect &r)
{
    return Rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}
