// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ZoomScroll.h"

#include "view/ViewSize.h"

#include <algorithm>
#include <limits>

namespace view {

namespace {

int64_t FloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t CeilDiv(int64_t a, int64_t b)
{
    return -FloorDiv(-a, b);
}

} // namespace

int32_t ScrollForZoom(int32_t side, int32_t scroll, int32_t at, int32_t oldZoom, int32_t newZoom)
{
    const int64_t oldSide = ScaledSize(side, oldZoom);
    const int64_t newSide = ScaledSize(side, newZoom);
    if (oldSide <= 0 || newSide <= 0)
        return 0;
    const int64_t v = int64_t(scroll) + at;
    // The view pixel holding the point's place scaled with the view.
    int64_t w = FloorDiv((2 * v + 1) * newSide, 2 * oldSide);
    if (v >= 0 && v < oldSide) {
        // The run of view pixels x with x * side div newSide == raster.
        const int64_t raster = v * side / oldSide;
        const int64_t first = CeilDiv(raster * newSide, side);
        const int64_t last = CeilDiv((raster + 1) * newSide, side) - 1;
        if (first <= last)
            w = std::clamp(w, first, last);
    }
    return int32_t(std::clamp<int64_t>(w - at, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

} // namespace view
