// SPDX-License-Identifier: GPL-3.0-or-later
// A rectangle of integer coordinates: left, top, right, bottom, in that order.
#pragma once

#include <cstdint>

namespace view {

struct IntRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    // For half-open rectangles (right and bottom exclusive): covers nothing.
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const IntRect &) const = default;
};

} // namespace view
