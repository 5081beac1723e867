// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one rectangle: four signed 32-bit edges, left and top inclusive, right
// and bottom exclusive (as GDI's shape calls take them). The drawing calls know it as
// RECT.
#pragma once

#include <cstdint>

struct Rect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    // Covers no pixel.
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const Rect &) const = default;
};
