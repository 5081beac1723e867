// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop shell's "open" action on a web address or file: the program the user
// chose for it shows it (for a web address, the default browser). Behind an interface
// so that tests see what was opened without starting a browser.
#pragma once

#include <QString>

class QWidget;

class ShellService {
public:
    virtual ~ShellService() = default;
    // Opens address on behalf of parent, with no parameters, no working folder and the
    // normal show mode. True when the shell took the request; callers may ignore it.
    virtual bool Open(QWidget *parent, const QString &address);
};
