// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

QString SettingsStore::ProgramName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

std::unique_ptr<QSettings> SettingsStore::Open() const
{
    const QString organisation = QStringLiteral("Software");
    if (folder_.isEmpty())
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           organisation, ProgramName());
    // The same layout as the user's own settings, below the given folder.
    return std::make_unique<QSettings>(folder_ + QLatin1Char('/') + organisation + QLatin1Char('/')
                                           + ProgramName() + QStringLiteral(".conf"),
                                       QSettings::NativeFormat);
}
