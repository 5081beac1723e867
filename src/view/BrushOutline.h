// SPDX-License-Identifier: GPL-3.0-or-later
// The brush outline over the picture view: an ellipse drawn with an inverting pen, so
// that drawing it a second time restores the view.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Rect.h"

#include <cstdint>
#include <optional>

namespace view {

// An outline wider or higher than this many view pixels is not drawn: only a zoom or
// radius still being typed far beyond its range gets there (the largest brush at the
// largest zoom is 2000 pixels across), and tracing such an ellipse would stall the
// window. A negative radius gives a swapped rectangle; its size counts the same.
constexpr int64_t kLargestOutline = int64_t(1) << 16;

// The outline's rectangle around view point (x, y) for a brush of radius raster pixels
// at zoom percent (BrushOutlineRect), or nothing when it is too large to draw.
std::optional<Rect> BrushOutline(int32_t x, int32_t y, int32_t radius, int32_t zoom);

// Draws the ellipse bounded by rect as a hollow outline with the 1-pixel pen in the
// inverting mix mode (R2_NOT). Afterwards the DC's brush is the one selected before and
// its mix mode plain copy (R2_COPYPEN).
void InvertOutline(HDC dc, const Rect &rect);

} // namespace view
