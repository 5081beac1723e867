// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include <QCoreApplication>

QString ApplicationTitle()
{
    return QStringLiteral("Tintwell 1.5");
}

void SetUpApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("tintwell"));
}
