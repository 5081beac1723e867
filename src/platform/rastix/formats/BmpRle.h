// SPDX-License-Identifier: GPL-3.0-or-later
// Unpacking BMP RLE8 and RLE4 pixel data into an 8- or 4-bit raster.
#pragma once

#include "platform/rastix/formats/Decoder.h"

#include <string>

namespace rastix {

// Unpacks the run-length data into the zero-filled raster (its depth says RLE8 or
// RLE4), rows bottom-up as stored. Encoded runs, absolute runs, end-of-line,
// end-of-bitmap and delta escapes are understood; pixels a run or delta places past
// the row's end or above the last row are dropped, and pixels never written stay 0.
// Palette indices of paletteCount or more are clamped to the last entry.
// Returns an empty text on success, else what is wrong: data ending inside an
// escape or a run, or before the last row was reached without end-of-bitmap.
std::string UnpackBmpRle(Bytes data, RasterImage &raster, int paletteCount);

} // namespace rastix
