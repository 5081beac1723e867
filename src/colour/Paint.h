// SPDX-License-Identifier: GPL-3.0-or-later
// What a colourised pixel depends on besides the source pixel under it: the colour of a
// brush step or of "Colorize everything" with the Colorize tool down. Its colours for
// every grey value are MakeGreyColourTable(paint): DoPix's colours, moved to the
// luminance of each grey (colour/KeepTone.h) when keepTones is set.
#pragma once

#include <cstdint>

namespace colour {

struct Paint {
    int32_t hue = 0;
    int32_t saturation = 0;
    int32_t brightness = 0;
    bool keepTones = false;
    bool operator==(const Paint &) const = default;
};

} // namespace colour
