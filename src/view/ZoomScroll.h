// SPDX-License-Identifier: GPL-3.0-or-later
// Zooming about a point of the visible area: where the view must be scrolled, along one
// axis, so that the picture point under that point stays there.
#pragma once

#include <cstdint>

namespace view {

// The new scroll position along one axis when the view of a raster side of side pixels
// goes from oldZoom to newZoom percent. scroll is the view position at the visible
// area's edge (the scroll bar's value), at the point's distance from that edge.
//
// The view pixel v = scroll + at shows raster pixel v * side div ScaledSize(side,
// oldZoom), as the nearest-neighbour view draws it. The result puts under the point the
// view pixel that shows that raster pixel at newZoom, of those the one nearest to the
// point's place scaled with the view ((v + 1/2) x new view side / old view side); from
// zoom 100 up every raster pixel is shown, so the same one stays under the point.
// Below 100, or with the point beside the picture, the point's place is scaled alone.
// The result may lie outside the scroll range, for the scroll bar to clamp; 0 when
// either view is empty.
int32_t ScrollForZoom(int32_t side, int32_t scroll, int32_t at, int32_t oldZoom, int32_t newZoom);

} // namespace view
