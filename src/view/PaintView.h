// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the picture view: the work raster scaled by the zoom.
#pragma once

#include "document/RasterImage.h"
#include "platform/gdi/GdiTypes.h"

#include <cstdint>

namespace view {

// Draws the whole raster at zoom percent with its top-left corner at (0, 0) of the DC:
// DrawRaster into ScaledSize(width) x ScaledSize(height) from the whole raster, halftoning
// allowed, SRCCOPY, the raster's own palette. Only what the DC's clip box shows is
// touched, so a DC clipped to part of the view repaints just that part, with the same
// pixels a full repaint gives there. Nothing is drawn for an empty view.
void PaintView(HDC dc, const RasterImage &raster, int32_t zoom);

} // namespace view
