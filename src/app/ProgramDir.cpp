// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramDir.h"

QString WithTrailingSeparator(const QString &folder)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}
