// SPDX-License-Identifier: GPL-3.0-or-later
// The brush stroke step done literally: every stamp of the line, every pixel of every
// stamp, one DoPix call each, in the brush's order, and with tones kept the colour it
// wrote moved to its grey's luminance (KeepTone). The reference StrokeLine matches.
#pragma once

#include "view/BrushStroke.h"

namespace view {

// Same contract and result as StrokeLine; the returned rectangle bounds the pixels
// DoPix wrote.
Rect StrokeLineLiteral(const RasterImage &source, const RasterImage &work, int32_t x1, int32_t y1,
                       int32_t x2, int32_t y2, const StrokeParams &params);

} // namespace view
