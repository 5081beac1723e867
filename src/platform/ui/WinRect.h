// SPDX-License-Identifier: GPL-3.0-or-later
// A rectangle as four signed 32-bit edges; Right and Bottom are exclusive.
#pragma once

#include <cstdint>

struct WinRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const WinRect &) const = default;
};
