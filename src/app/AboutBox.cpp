// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutBox.h"

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setModal(true);
}
