// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-picture operations: grayscale, soften, colorize everything. Not written yet.
#include "app/MainForm.h"

void TMainForm::GrrayBtnClick() {}

void TMainForm::SoftenBtnClick() {}

void TMainForm::ColorAllBtnClick() {}
