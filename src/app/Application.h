// SPDX-License-Identifier: GPL-3.0-or-later
// What the program sets for the whole application before it makes any window.
#pragma once

#include <QString>

// "Tintwell 1.5": the application's title, shown where the desktop names the application
// rather than one of its windows (the main window's icon text, the caption of a message
// box that has none of its own). Window captions never carry it.
QString ApplicationTitle();

// Names the application "tintwell", the program file's name, for its settings and the
// desktop's window class. Qt's display name stays unset: Qt would append it to every
// window caption ("Merrow Tintwell 2.0 - Tintwell 1.5").
void SetUpApplication();
