// SPDX-License-Identifier: GPL-3.0-or-later
// Soften: the 3 x 3 box filter on a 24-bit raster in place, fast. Writes exactly the
// bytes ApplyFilter(raster, SoftenKernel) writes: every channel value becomes the sum of
// its 3 x 3 neighbourhood div 9, pixels beyond an edge reading as the edge pixel.
#pragma once

#include "document/ProgressSink.h"
#include "document/RasterImage.h"
#include "document/RasterLibrary.h"
#include "ops/ApplyFilter.h"

namespace ops {

// One pass through the rows in memory order. Each row is copied into a rolling buffer
// of three row copies, its first and last pixel repeated beside it, before it is
// overwritten; an output row is made from the copies of the rows above, at and below
// it (the edge rows standing in for the missing ones) and written over the picture
// row. The buffer is one raster from library, W + 66 pixels wide and 3 rows high at 24
// bits, released before the call returns. Vector instructions are chosen at run time
// (ops/SimdTargets.h).
//
// Results as ApplyFilter's: NotFiltered for a raster of 256 colours or fewer, without
// pixel memory or not 24-bit (nothing changes, nothing to tell the user); OutOfMemory
// when the buffer cannot be had (nothing changes).
//
// Progress: 0; for a 24-bit raster 0 again and then RowProgress(k, H) as the k-th row
// begins; 0 at the end, on every way out. Rows are copied as the filter reaches them,
// so there is no separate copying sweep and the bar runs from 0 to 100 once. A one-row
// picture reports 100 for its row.
FilterResult Soften(const RasterImage &raster, const document::ProgressSink &progress,
                    const document::RasterLibrary &library = {});

} // namespace ops
