// SPDX-License-Identifier: GPL-3.0-or-later
// The size of the zoomed picture view.
#pragma once

#include <cstdint>

namespace view {

// The largest side a view can have: what a widget can be.
constexpr int32_t kLargestViewSide = (1 << 24) - 1;

// A raster side of size pixels shown at zoom percent: (size x zoom) div 100, truncated.
// 0 for a zoom of 0 or less, which the zoom field can hold while it is typed into;
// at most kLargestViewSide, however large a zoom is typed.
int32_t ScaledSize(int32_t size, int32_t zoom);

} // namespace view
