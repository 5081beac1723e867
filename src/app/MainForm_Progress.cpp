// SPDX-License-Identifier: GPL-3.0-or-later
// Progress shown in the status bar. Not written yet.
#include "app/MainForm.h"

void TMainForm::SetProStatus(int) {}

void TMainForm::SBarPaintMore() {}

void TMainForm::StatusBar1DrawPanel(QWidget *, int, const QRect &) {}

void TMainForm::WMUser(intptr_t) {}
