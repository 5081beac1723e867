// SPDX-License-Identifier: GPL-3.0-or-later
// Colour presets, the colour spin edits and the palette picker. Not written yet.
#include "app/MainForm.h"

void TMainForm::ToolButton1Click() {}
void TMainForm::ToolButton2Click() {}
void TMainForm::ToolButton3Click() {}
void TMainForm::ToolButton4Click() {}
void TMainForm::ToolButton5Click() {}
void TMainForm::ToolButton6Click() {}
void TMainForm::ToolButton7Click() {}
void TMainForm::ToolButton8Click() {}
void TMainForm::ToolButton9Click() {}
void TMainForm::ToolButton10Click() {}

void TMainForm::HueEDChange() {}

void TMainForm::SatEdChange() {}

void TMainForm::PalPaintBoxPaint() {}

void TMainForm::PalPaintBoxMouseMove(ShiftState, int, int) {}

void TMainForm::PalPaintBoxMouseDown(Qt::MouseButton, ShiftState, int, int) {}
