// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/RasterToViewRect.h"

#include "view/ViewSize.h"

#include <algorithm>

namespace view {

namespace {

// The first view position whose source index (size v) div viewSize reaches index:
// ceil(index viewSize / size), clipped to 0..viewSize.
int64_t FirstShowing(int64_t index, int64_t size, int64_t viewSize)
{
    index = std::clamp<int64_t>(index, 0, size);
    return (index * viewSize + size - 1) / size;
}

} // namespace

Rect RasterToViewRect(const Rect &raster, int32_t width, int32_t height, int32_t zoom)
{
    if (raster.Empty() || width <= 0 || height <= 0 || zoom <= 0)
        return {};
    const int64_t viewWidth = ScaledSize(width, zoom);
    const int64_t viewHeight = ScaledSize(height, zoom);
    if (viewWidth <= 0 || viewHeight <= 0)
        return {};
    Rect view{int32_t(FirstShowing(raster.Left, width, viewWidth)),
              int32_t(FirstShowing(raster.Top, height, viewHeight)),
              int32_t(FirstShowing(raster.Right, width, viewWidth)),
              int32_t(FirstShowing(raster.Bottom, height, viewHeight))};
    return view.Empty() ? Rect{} : view;
}

} // namespace view
