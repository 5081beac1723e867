// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/RasterToViewRect.h"

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

IntRect RasterToViewRect(const IntRect &raster, int32_t width, int32_t height, int32_t zoom)
{
    if (raster.Empty() || width <= 0 || height <= 0 || zoom <= 0)
        return {};
    const int64_t viewWidth = int64_t(width) * zoom / 100;
    const int64_t viewHeight = int64_t(height) * zoom / 100;
    if (viewWidth <= 0 || viewHeight <= 0)
        return {};
    IntRect view{int32_t(FirstShowing(raster.left, width, viewWidth)),
                 int32_t(FirstShowing(raster.top, height, viewHeight)),
                 int32_t(FirstShowing(raster.right, width, viewWidth)),
                 int32_t(FirstShowing(raster.bottom, height, viewHeight))};
    return view.Empty() ? IntRect{} : view;
}

} // namespace view
