// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/BrushGeometry.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace view {

namespace {

int32_t TruncSaturated(long double value)
{
    constexpr long double lo = std::numeric_limits<int32_t>::min();
    constexpr long double hi = std::numeric_limits<int32_t>::max();
    if (std::isnan(value))
        return 0;
    if (value <= lo)
        return std::numeric_limits<int32_t>::min();
    if (value >= hi)
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::trunc(value));
}

} // namespace

int32_t MapViewToRaster(int32_t v, int32_t zoom)
{
    if (zoom <= 0)
        return 0;
    // Two separately rounded steps, in this order; do not fold them into v * 100 / zoom.
    volatile long double quotient = static_cast<long double>(v) / static_cast<long double>(zoom);
    const long double scaled = quotient * 100.0L;
    return TruncSaturated(scaled);
}

Rect BrushOutlineRect(int32_t x, int32_t y, int32_t radius, int32_t zoom)
{
    const long double d = static_cast<long double>(radius) * zoom / 100.0L;
    return Rect{TruncSaturated(x - d), TruncSaturated(y - d), TruncSaturated(x + d),
                TruncSaturated(y + d)};
}

} // namespace view
