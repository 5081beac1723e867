// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include <QGuiApplication>
#include <QIcon>

#include <csignal>

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
    // The installed icon (hicolor theme) on every window; none when run from a build.
    QGuiApplication::setWindowIcon(QIcon::fromTheme(DesktopEntryId()));
    // A file-size limit must make a save fail with its reason, not end the program with
    // the user's work in it: writes past the limit then fail with EFBIG instead.
    std::signal(SIGXFSZ, SIG_IGN);
}
