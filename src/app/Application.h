// SPDX-License-Identifier: GPL-3.0-or-later
// What the program sets for the whole application before it makes any window.
#pragma once

#include <QString>

// "Tintwell 1.5": the application's title, shown where the desktop names the application
// rather than one of its windows (the main window's icon text, the caption of a message
// box that has none of its own). Window captions never carry it.
QString ApplicationTitle();

// "com.merrow.Tintwell": the name of the installed desktop entry without ".desktop", which
// is also the id of the AppStream metainfo and the name of the icon. The desktop uses it
// to link the program's windows to its menu entry and icon.
QString DesktopEntryId();

// Names the application "tintwell", the program file's name, for its settings and the
// desktop's window class, gives Qt the desktop entry's id (DesktopEntryId()) and the
// installed icon of that name for every window. Qt's display name stays unset: Qt would
// append it to every window caption ("Merrow Tintwell 2.0 - Tintwell 1.5"). A file-size
// limit (SIGXFSZ) is ignored, so that a save past it fails with its reason instead of
// ending the program.
void SetUpApplication();
