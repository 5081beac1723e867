// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/PaintView.h"

#include "view/DrawRaster.h"
#include "view/ViewSize.h"

namespace view {

void PaintView(HDC dc, const RasterImage &raster, int32_t zoom)
{
    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    const int32_t viewWidth = ScaledSize(width, zoom);
    const int32_t viewHeight = ScaledSize(height, zoom);
    if (viewWidth <= 0 || viewHeight <= 0)
        return;
    DrawRaster(dc, 0, 0, viewWidth, viewHeight, raster, 0, 0, width, height, true, SRCCOPY, true,
               nullptr);
}

} // namespace view
