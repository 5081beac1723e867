// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/BrushLine.h"

#include <cstdlib>
#include <utility>

namespace view {

void BrushLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
               const std::function<void(int32_t cx, int32_t cy)> &stamp)
{
    const bool steep = std::llabs(int64_t(x2) - x1) < std::llabs(int64_t(y2) - y1);
    // Major and minor coordinates of the two ends.
    int64_t a1 = steep ? y1 : x1;
    int64_t b1 = steep ? x1 : y1;
    int64_t a2 = steep ? y2 : x2;
    int64_t b2 = steep ? x2 : y2;
    const bool swapped = a1 > a2;
    if (swapped) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }

    const int64_t major = a2 - a1;
    const int64_t minor = std::llabs(b2 - b1);
    const int64_t step = b2 > b1 ? 1 : -1;
    int64_t error = 2 * minor - major;
    const int64_t diagonal = 2 * (minor - major);
    const int64_t straight = 2 * minor;

    // A point of the walk, mirrored back through the line's middle when the ends were
    // swapped, so the stamps run from (x1, y1) onwards.
    const int64_t sumX = int64_t(x1) + x2;
    const int64_t sumY = int64_t(y1) + y2;
    auto emit = [&](int64_t a, int64_t b) {
        int64_t px = steep ? b : a;
        int64_t py = steep ? a : b;
        if (swapped) {
            px = sumX - px;
            py = sumY - py;
        }
        stamp(int32_t(px), int32_t(py));
    };

    stamp(x1, y1);
    int64_t b = b1;
    for (int64_t a = a1 + 1; a <= a2; ++a) {
        if (error >= 0) {
            b += step;
            error += diagonal;
        } else {
            error += straight;
        }
        emit(a, b);
    }
}

} // namespace view
