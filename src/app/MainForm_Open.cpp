// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a picture file into the document. Not written yet.
#include "app/MainForm.h"

void TMainForm::Open1Click() {}

void TMainForm::openfilenow(const QString &) {}

void TMainForm::DepthUpTo(int) {}
