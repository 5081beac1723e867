// SPDX-License-Identifier: GPL-3.0-or-later
// FileDialogService over QFileDialog.
#pragma once

#include "widgets/FileDialogService.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QtFileDialogService : public FileDialogService {
public:
    explicit QtFileDialogService(QWidget *parent = nullptr) : parent_(parent) {}
    std::optional<QString> ChooseOpenFile(const OpenDialogRequest &request) override;
    std::optional<QString> ChooseSaveFile(const SaveDialogRequest &request) override;

private:
    QPointer<QWidget> parent_;
};

// The "description|pattern;pattern|..." filter as Qt name filters "description (p p)".
// Each pattern also gets its lower-case form, because file names on this platform
// are case sensitive and the list names extensions in capitals.
QStringList QtNameFilters(const QString &pipeFilter);
