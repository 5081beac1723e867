// SPDX-License-Identifier: GPL-3.0-or-later
// The open and save common dialogs, behind an interface so that tests can answer them.
#pragma once

#include <QString>

#include <optional>

// The open dialog: shows the filter's first entry selected, has no read-only box, can
// be resized and passes on a typed name even when no such file exists.
struct OpenDialogRequest {
    // Pairs separated by "|": a description, then its patterns separated by ";".
    QString Filter;
    QString InitialDir; // empty: the platform's default
};

// The save dialog: asks before overwriting an existing file, has no read-only box, can
// be resized, has no filter and adds no extension.
struct SaveDialogRequest {
    QString InitialDir;
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The full name of the chosen file, or nothing when the user cancelled.
    virtual std::optional<QString> ChooseOpenFile(const OpenDialogRequest &request) = 0;
    virtual std::optional<QString> ChooseSaveFile(const SaveDialogRequest &request) = 0;
};
