// SPDX-License-Identifier: GPL-3.0-or-later
// The help engine the main window tells at exit that it no longer needs the help file.
// There is no help engine on this platform; the default does nothing, and tests use
// their own to see that the quit command is sent, and when.
#pragma once

#include <QString>

class HelpEngine {
public:
    virtual ~HelpEngine() = default;
    // The quit command (code 2, data 0) for the given help file.
    virtual void Quit(const QString &helpFile) { (void)helpFile; }
};
