// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/DockEdge.h"

namespace view {

DockEdge DockTargetEdge(double x, double y, double w, double h)
{
    if (w <= 0 || h <= 0)
        return DockEdge::Left;
    const bool aboveMain = y <= x * h / w;      // on or above the top-left/bottom-right diagonal
    const bool aboveAnti = y < h * (1 - x / w); // strictly above the other diagonal
    if (aboveMain)
        return aboveAnti ? DockEdge::Top : DockEdge::Right;
    return aboveAnti ? DockEdge::Left : DockEdge::Bottom;
}

} // namespace view
