// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include <QGuiApplication>

QString ApplicationTitle()
{
    return QStringLiteral("Tintwell 1.5");
}

QString DesktopEntryId()
{
    return QStringLiteral("com.merrow.Tintwell");
}

void SetUpApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("tintwell"));
    QGuiApplication::setDesktopFileName(DesktopEntryId());
}
