// SPDX-License-Identifier: GPL-3.0-or-later
// Modal message boxes, behind an interface so that windows can be tested without a
// box blocking the test: a test hands the window a fake that records what it was asked
// to show and answers at once.
#pragma once

#include <QFlags>
#include <QString>

enum class MessageIcon { None, Information, Warning, Error, Question };

enum class MessageButton {
    Ok = 0x1,
    Cancel = 0x2,
    Yes = 0x4,
    No = 0x8,
    Save = 0x10,
    Discard = 0x20,
};
Q_DECLARE_FLAGS(MessageButtons, MessageButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(MessageButtons)

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows text modally and returns the button the user chose. An empty caption means
    // the platform's default title (the application's display name).
    virtual MessageButton show(const QString &text, const QString &caption, MessageIcon icon,
                               MessageButtons buttons) = 0;
};
