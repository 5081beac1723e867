// SPDX-License-Identifier: GPL-3.0-or-later
// Dragging the left tool bar to another edge of OuterPanel.
#include "app/MainForm.h"

#include <QEvent>

void TMainForm::DockSpeedBar(DockEdge edge)
{
    dockEdge_ = edge;
}

bool TMainForm::SpeedBarMouse(QEvent *)
{
    return false;
}
