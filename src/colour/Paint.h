// SPDX-License-Identifier: GPL-3.0-or-later
// What a colourised pixel depends on besides the source pixel under it: the colour of a
// brush step or of "Colorize everything" with the Colorize tool down. Its colours for
// every grey value are MakeGreyColourTable(hue, saturation, brightness).
#pragma once

#include <cstdint>

namespace colour {

struct Paint {
    int32_t hue = 0;
    int32_t saturation = 0;
    int32_t brightness = 0;
    bool operator==(const Paint &) const = default;
};

} // namespace colour
