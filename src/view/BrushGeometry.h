// SPDX-License-Identifier: GPL-3.0-or-later
// Where the brush lands: the mapping of view positions (pixels of the zoomed picture
// view) to raster positions, and the view rectangle of the brush outline.
#pragma once

#include "platform/gdi/Rect.h"

#include <cstdint>

namespace view {

// The largest brush radius used, in raster pixels. The radius field can hold any number
// while it is typed into; a radius beyond the largest picture side would only make the
// outline enormous to trace.
constexpr int32_t kLargestRadius = 32767;

// The radius a typed value gives: the value, at most kLargestRadius.
constexpr int32_t BrushRadius(int32_t typed)
{
    return typed < kLargestRadius ? typed : kLargestRadius;
}

// trunc((v / zoom) * 100), computed in extended precision (long double) with the
// division first, so an exact quotient can come out one lower: at zoom 10, view 21
// maps to 209. Small negative positions map to 0. zoom must be > 0: the view ignores
// mouse input while the zoom reads 0 or less, and this returns 0 for such a zoom
// rather than dividing by it. Results beyond the 32-bit range saturate.
int32_t MapViewToRaster(int32_t v, int32_t zoom);

// The outline of a brush of radius raster pixels around view point (x, y) at zoom
// percent: d = radius * zoom / 100 in floating point, then (trunc(x - d),
// trunc(y - d), trunc(x + d), trunc(y + d)), each truncated toward zero. The ellipse
// bounded by it is what the view draws; right and bottom are the ellipse's bounding
// coordinates as the drawing call takes them.
Rect BrushOutlineRect(int32_t x, int32_t y, int32_t radius, int32_t zoom);

} // namespace view
