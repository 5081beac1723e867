// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file's contents without ever damaging the old ones: the bytes go to a new
// temporary file in the same folder, which is flushed to the disk and then renamed over
// the target in one step. On any failure the temporary file is removed and the target
// is left exactly as it was.
#pragma once

#include <QByteArray>
#include <QString>

namespace document {

// Empty on success; otherwise the system's reason ("No space left on device", "File too
// large", "Permission denied", ...). A new file gets the usual permissions (0666 less the
// umask), a replaced one keeps its own.
QString ReplaceFile(const QString &fileName, const QByteArray &bytes);

} // namespace document
