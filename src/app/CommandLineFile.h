// SPDX-License-Identifier: GPL-3.0-or-later
// The picture file named on the program's command line.
#pragma once

#include <QString>
#include <QStringList>

// The file of the first argument after the program's name (arguments as
// QCoreApplication::arguments() gives them, Qt's own options taken out); later ones
// are ignored. A file URL, as some desktops pass for "Open with"
// ("file:///photos/My%20Scan.png", also with the host localhost or this machine's
// name), gives its local path with the escapes decoded, bare blanks and stray percent
// signs taken as they stand; anything else is the path as it stands. Empty without an
// argument.
QString CommandLineFile(const QStringList &arguments);
