// SPDX-License-Identifier: GPL-3.0-or-later
// Brush strokes on the picture view. Not written yet.
#include "app/MainForm.h"

void TMainForm::PaintBox1MouseDown(Qt::MouseButton, ShiftState, int, int) {}

void TMainForm::PaintBox1MouseMove(ShiftState, int, int) {}

void TMainForm::PaintBox1MouseUp(Qt::MouseButton, ShiftState, int, int) {}

void TMainForm::Timer1Timer() {}

void TMainForm::DoBrush(int, int, int, int) {}

void TMainForm::BrushLine(int, int, int, int, int, int) {}

void TMainForm::DoPix(int, int, int, int, int) {}
