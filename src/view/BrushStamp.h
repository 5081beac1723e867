// SPDX-License-Identifier: GPL-3.0-or-later
// One round stamp of the brush, visited pixel by pixel in the brush's own order.
#pragma once

#include <cstdint>
#include <functional>

namespace view {

// Visits every position (x, y) with (x - cx)^2 + (y - cy)^2 <= radius^2, boundary
// included: columns cx - radius .. cx + radius in the outer loop, rows cy - radius ..
// cy + radius in the inner loop. A negative radius visits nothing; radius 0 visits the
// centre, 1 a five-pixel plus. No clipping: the visitor drops what lies outside.
void DoBrush(int32_t cx, int32_t cy, int32_t radius,
             const std::function<void(int32_t x, int32_t y)> &pixel);

} // namespace view
