// SPDX-License-Identifier: GPL-3.0-or-later
// The folder of the running program's file, as the document keeps it.
#pragma once

#include <QString>

// folder with "/" appended unless it already ends in one (the root "/" stays "/").
QString WithTrailingSeparator(const QString &folder);
