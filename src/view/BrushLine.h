// SPDX-License-Identifier: GPL-3.0-or-later
// The centres of a line of brush stamps: an integer Bresenham walk from one raster
// position to the next.
#pragma once

#include <cstdint>
#include <functional>

namespace view {

// Calls stamp(cx, cy) for each point of the digital line from (x1, y1) to (x2, y2),
// one per raster pixel along the major axis: M + 1 calls for a major length M, one for
// a single point. The major axis is y when |x2 - x1| < |y2 - y1|, else x. The walk
// always runs from the end with the smaller major coordinate (so both directions give
// the same pixels) and the minor coordinate steps when the error is >= 0; the calls are
// mirrored back so they run from (x1, y1) to (x2, y2), the first on (x1, y1).
// Consecutive centres are 8-neighbours; both coordinates change monotonically.
void BrushLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
               const std::function<void(int32_t cx, int32_t cy)> &stamp);

} // namespace view
