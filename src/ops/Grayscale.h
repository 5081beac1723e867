// SPDX-License-Identifier: GPL-3.0-or-later
// Grayscale: every pixel of a 24-bit raster becomes grey in place.
#pragma once

#include "document/ProgressSink.h"
#include "document/RasterImage.h"

namespace ops {

// Each pixel's blue, green and red all become (30 R + 59 G + 11 B) div 100: one
// division of the weighted sum (pure red 76, green 150, blue 28, white 255), unlike
// the grey value of DoPix, which divides each term on its own. A grey pixel stays as
// it is, so grayscale twice equals once. One pass, nothing allocated, padding bytes
// untouched; vector instructions are chosen at run time (ops/SimdTargets.h). A raster
// that is not 24-bit or has no pixel memory is left alone.
//
// Progress: 0, then RowProgress(i, H) as each picture row i (from the top) begins, then
// 0. A one-row picture reports 100 for its row.
void Grayscale(const RasterImage &raster, const document::ProgressSink &progress);

} // namespace ops
