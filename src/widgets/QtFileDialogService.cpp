// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/QtFileDialogService.h"

#include <QFileDialog>

QStringList QtNameFilters(const QString &pipeFilter)
{
    QStringList filters;
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            patterns << pattern;
            if (pattern.toLower() != pattern)
                patterns << pattern.toLower();
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                       + QLatin1Char(')');
    }
    return filters;
}

std::optional<QString> QtFileDialogService::ChooseOpenFile(const OpenDialogRequest &request)
{
    QFileDialog dialog(parent_.data());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name is passed on unchecked
    dialog.setSizeGripEnabled(true);
    const QStringList filters = QtNameFilters(request.Filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    if (!request.InitialDir.isEmpty())
        dialog.setDirectory(request.InitialDir);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtFileDialogService::ChooseSaveFile(const SaveDialogRequest &request)
{
    QFileDialog dialog(parent_.data());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setSizeGripEnabled(true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setDefaultSuffix(QString());
    if (!request.InitialDir.isEmpty())
        dialog.setDirectory(request.InitialDir);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}
