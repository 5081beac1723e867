// SPDX-License-Identifier: GPL-3.0-or-later
// What a colourised pixel depends on besides the source pixel under it: the colour of a
// brush step or of "Colorize everything" with the Colorize tool down.
#pragma once

#include <array>
#include <cstdint>

namespace history {

struct Paint {
    int32_t hue = 0;
    int32_t saturation = 0;
    int32_t brightness = 0;
    bool operator==(const Paint &) const = default;
};

// The bytes (blue, green, red, as stored) DoPix writes with the Colorize tool for a
// source pixel of each grey value; index 255 is never reached (grey values run 0..254).
using ColourTable = std::array<std::array<uint8_t, 3>, 256>;

ColourTable MakeColourTable(const Paint &paint);

} // namespace history
