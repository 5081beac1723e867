// SPDX-License-Identifier: GPL-3.0-or-later
// Print and About. Printing is not written yet.
#include "app/MainForm.h"

#include "app/AboutBox.h"

void TMainForm::Print1Click() {}

void TMainForm::About1Click()
{
    // Always the one box created at start-up, shown modally over this window.
    if (AboutBox)
        AboutBox->exec();
}
