// SPDX-License-Identifier: GPL-3.0-or-later
// The state of the mouse buttons and modifier keys at a mouse event, as mouse handlers
// receive it ("is the left button held?").
#pragma once

#include <Qt>

struct ShiftState {
    Qt::MouseButtons Buttons;
    Qt::KeyboardModifiers Modifiers;

    bool Left() const { return Buttons.testFlag(Qt::LeftButton); }
    bool Right() const { return Buttons.testFlag(Qt::RightButton); }
    bool Middle() const { return Buttons.testFlag(Qt::MiddleButton); }
    bool Shift() const { return Modifiers.testFlag(Qt::ShiftModifier); }
    bool Ctrl() const { return Modifiers.testFlag(Qt::ControlModifier); }
    bool Alt() const { return Modifiers.testFlag(Qt::AltModifier); }
};
