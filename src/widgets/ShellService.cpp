// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ShellService.h"

#include <QDesktopServices>
#include <QUrl>

bool ShellService::Open(QWidget *parent, const QString &address)
{
    // The desktop decides where the page opens; there is no owner window to pass on.
    (void)parent;
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
