// SPDX-License-Identifier: GPL-3.0-or-later
// Placing a top-level window in the middle of the screen.
#pragma once

class QWidget;

// Moves window so that its frame (title bar and border included, where the window
// system has given it one yet) is centred in the available area of the screen it is
// on, or of the primary screen. Nothing without a screen.
void CentreOnScreen(QWidget *window);
