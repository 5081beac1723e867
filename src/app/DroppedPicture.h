// SPDX-License-Identifier: GPL-3.0-or-later
// What a drag onto the main window carries that it can open.
#pragma once

#include <QString>

class QMimeData;

// The local file a drag carries when it carries exactly one and nothing else, and that
// file's name matches one of the patterns of the open dialog's first entry ("All
// pictures|*.BMP;*.DIB;...", as in OpenDialogRequest::Filter), in any case. Empty for
// text, several files, a remote URL or another kind of file.
QString DroppedPicture(const QMimeData &data, const QString &openFilter);
