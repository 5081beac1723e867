// SPDX-License-Identifier: GPL-3.0-or-later
// What a work file keeps of the window besides the pictures: the current colour, the
// tool and the zoom. The undo history is not kept.
#pragma once

#include <cstdint>

namespace document {

struct WorkState {
    int32_t Hue = 20;         // 0..255
    int32_t Saturation = 141; // 0..255
    int32_t Brightness = 0;   // -100..100
    bool Erase = false;       // the Erase tool is down, else Colorize
    int32_t Zoom = 100;       // 10..1000 percent
    bool operator==(const WorkState &) const = default;
};

} // namespace document
