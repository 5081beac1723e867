// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/BrushStamp.h"

namespace view {

void DoBrush(int32_t cx, int32_t cy, int32_t radius,
             const std::function<void(int32_t x, int32_t y)> &pixel)
{
    if (radius < 0)
        return;
    const int64_t r2 = int64_t(radius) * radius;
    for (int64_t x = int64_t(cx) - radius; x <= int64_t(cx) + radius; ++x) {
        const int64_t dx = x - cx;
        for (int64_t y = int64_t(cy) - radius; y <= int64_t(cy) + radius; ++y) {
            const int64_t dy = y - cy;
            if (dx * dx + dy * dy <= r2)
                pixel(int32_t(x), int32_t(y));
        }
    }
}

} // namespace view
