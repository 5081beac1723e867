// SPDX-License-Identifier: GPL-3.0-or-later
// ApplyFilter: a 24-bit raster filtered in place with any FilterKernel, done literally:
// a scratch copy with a border two pixels wide that repeats the edge pixels, then all
// 25 products for every pixel and channel. Soften (ops/Soften.h) is the fast path for
// SoftenKernel and is checked against this one.
#pragma once

#include "document/ProgressSink.h"
#include "document/RasterImage.h"
#include "document/RasterLibrary.h"
#include "ops/FilterKernel.h"

namespace ops {

enum class FilterResult {
    Filtered,    // the raster holds the filtered picture
    NotFiltered, // nothing to do: nothing changed and there is nothing to tell the user
    OutOfMemory, // the scratch memory could not be had; nothing changed
};

// Whether ApplyFilter and Soften filter the raster at all: more than 256 colours (24 bits
// per pixel), pixel memory and a size. For any other raster they return NotFiltered.
bool Filterable(const RasterImage &raster);

// Every output pixel (x, y), rows from the top, and each of its channels on its own,
// gets the kernel's value over the unfiltered picture, pixels beyond an edge reading
// as the edge pixel. Products, sums, the quotient and the bias are 32-bit integers
// (wrapping as two's complement where a kernel's numbers exceed that range, so no
// kernel is undefined); the value is then clamped to 0..255. Padding bytes at the end
// of each row are left as they were.
//
// NotFiltered for a raster of 256 colours or fewer (8 bits per pixel or less), one
// without pixel memory or of another depth than 24, and for a kernel whose Divisor is
// 0. OutOfMemory when library cannot give the scratch raster, (W + 4) x (H + 4) at 24
// bits; it is released before the call returns.
//
// Progress: 0; for a 24-bit raster 0 again, then RowProgress(s, H) as each stored row s
// is copied into the scratch raster and RowProgress(i, H) as each output row i (from
// the top) begins; 0 at the end, on every way out. A one-row picture reports 100 for
// its row.
FilterResult ApplyFilter(const RasterImage &raster, const FilterKernel &kernel,
                         const document::ProgressSink &progress,
                         const document::RasterLibrary &library = {});

} // namespace ops
