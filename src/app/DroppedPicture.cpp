// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DroppedPicture.h"

#include <QFileInfo>
#include <QList>
#include <QMimeData>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

QString DroppedPicture(const QMimeData &data, const QString &openFilter)
{
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    const QString file = urls.first().toLocalFile();
    const QStringList entries = openFilter.split(QLatin1Char('|'));
    if (entries.size() < 2)
        return QString();
    const QString name = QFileInfo(file).fileName();
    for (const QString &pattern : entries.at(1).split(QLatin1Char(';'))) {
        const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern),
                                       QRegularExpression::CaseInsensitiveOption);
        if (match.match(name).hasMatch())
            return file;
    }
    return QString();
}
