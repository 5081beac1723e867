// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/SurfaceDC.h"

#include <QGuiApplication>
#include <QScreen>

namespace gdi {

int PrimaryScreenDepth()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return 32;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}

SurfaceDC::SurfaceDC(QImage &surface, QPoint origin, QRect clip, int screenBits)
    : screenBits_(screenBits > 0 ? screenBits : PrimaryScreenDepth())
{
    Target(&surface, origin, clip);
}

} // namespace gdi
