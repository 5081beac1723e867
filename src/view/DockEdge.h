// SPDX-License-Identifier: GPL-3.0-or-later
// Where a tool bar is docked, and the rule that picks the edge under the pointer.
#pragma once

namespace view {

enum class DockEdge { Top, Right, Left, Bottom };

// The edge of a W x H client area that the point (x, y) selects. The area is split by
// its two diagonals: the upper triangle is the top edge, the right one the right edge,
// the left one the left edge and the lower one the bottom edge. Points on the diagonal
// from top-left to bottom-right count to the top or right; points on the other diagonal
// count to the right or bottom. So the centre docks right, the top-left corner top.
// Computed in floating point; a degenerate area (W or H not positive) gives Left.
DockEdge DockTargetEdge(double x, double y, double w, double h);

} // namespace view
