// SPDX-License-Identifier: GPL-3.0-or-later
// The picture view: zoom and drawing the work raster. Not written yet.
#include "app/MainForm.h"

void TMainForm::ZoomEdChange() {}

void TMainForm::PaintBox1Paint() {}
