// SPDX-License-Identifier: GPL-3.0-or-later
// Which part of the zoomed view shows a given part of the raster, so that a brush step
// can repaint only what it changed.
#pragma once

#include "platform/gdi/Rect.h"

#include <cstdint>

namespace view {

// The view is the raster drawn by nearest neighbour at ScaledSize(width, zoom) by
// ScaledSize(height, zoom) pixels: view column v shows raster column (width v) div
// viewWidth, view row u raster row (height u) div viewHeight. Returns the half-open
// view rectangle of exactly the view pixels that show raster pixels inside the
// half-open raster rectangle (rows counted from the top), clipped to the view; empty
// for an empty rectangle, an empty raster or a zoom of 0 or less.
Rect RasterToViewRect(const Rect &raster, int32_t width, int32_t height, int32_t zoom);

} // namespace view
