// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLineFile.h"

#include <QSysInfo>
#include <QUrl>

QString CommandLineFile(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return QString();
    const QString &argument = arguments.at(1);
    if (!argument.startsWith(QStringLiteral("file:/"), Qt::CaseInsensitive))
        return argument;
    const QUrl url(argument, QUrl::TolerantMode);
    if (!url.isValid())
        return argument;
    // file://localhost/... and file://<this machine>/... name local files too.
    const QString host = url.host();
    if (host.isEmpty() || host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0
        || host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0)
        return url.path(QUrl::FullyDecoded);
    return url.toLocalFile();
}
