// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/FitZoom.h"

#include <algorithm>
#include <limits>

namespace view {

namespace {

// The largest zoom at which side pixels shown at zoom percent, truncated, fit into area:
// side x zoom div 100 <= area exactly when side x zoom < 100 x (area + 1).
int64_t LargestFitting(int32_t side, int32_t area)
{
    if (side <= 0)
        return std::numeric_limits<int64_t>::max();
    if (area < 0)
        return -1;
    return (100 * (int64_t(area) + 1) - 1) / side;
}

} // namespace

int32_t FitZoom(int32_t width, int32_t height, int32_t areaWidth, int32_t areaHeight,
                ZoomSteps steps)
{
    const int64_t fits = std::min({LargestFitting(width, areaWidth),
                                   LargestFitting(height, areaHeight), int64_t(steps.maximum)});
    const int64_t step = std::max(steps.step, 1);
    const int64_t multiple = fits >= 0 ? fits / step * step : 0;
    return int32_t(std::max<int64_t>(multiple, steps.minimum));
}

} // namespace view
