// SPDX-License-Identifier: GPL-3.0-or-later
// Where windows keep the settings they remember for the user: the settings of
// organisation "Software", application the program file's name without its extension
// (on this platform ~/.config/Software/<program>.conf), each window in the group named
// after its class. Tests give a folder of their own instead; a fresh store on the same
// folder reads what an earlier one wrote, as a restarted program would.
#pragma once

#include <QString>

#include <memory>

class QSettings;

class SettingsStore {
public:
    // The user's own settings.
    SettingsStore() = default;
    // Settings below folder (empty: the user's own).
    explicit SettingsStore(QString folder) : folder_(std::move(folder)) {}

    // The settings, opened now; written back at the latest when the object goes.
    std::unique_ptr<QSettings> Open() const;
    // The program file's name without its extension, e.g. "tintwell".
    static QString ProgramName();

private:
    QString folder_;
};
