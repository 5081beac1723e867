// SPDX-License-Identifier: GPL-3.0-or-later
// Where the palette picker box meets the current colour: the colour under a box
// position, and the marker's place for a colour.
#pragma once

#include "platform/gdi/Rect.h"

#include <cstdint>

namespace colour {

struct HueSat {
    int32_t Hue = 0;
    int32_t Sat = 0;
    bool operator==(const HueSat &) const = default;
};

// The colour a mouse position (box pixels, any value, also outside the box) picks:
// saturation ((X - 4) * 255) div 63 and hue Y - 4, each clamped to 0..255. So box
// column x + 4 picks the saturation of palette column x, (4, 4) and everything above
// or left of it picks 0, and (67, 259) and everything beyond picks 255: a drag past an
// edge selects the edge value.
HueSat PaletteColourAt(int32_t X, int32_t Y);

// The marker's bounding box (box pixels, right and bottom exclusive) for a colour with
// hue and sat in 0..255: from (s, hue) to (s + 8, hue + 8) with s = (sat * 63) div 255,
// so the ellipse's centre (s + 4, hue + 4) shows palette pixel (s, hue). The column is
// recomputed from the saturation, so after a pick at box column X it lies one column
// left of X except where (X - 4) is a multiple of 21 (X = 4, 25, 46, 67).
Rect PaletteMarkerRect(int32_t hue, int32_t sat);

} // namespace colour
