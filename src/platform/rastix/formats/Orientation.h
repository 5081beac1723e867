// SPDX-License-Identifier: GPL-3.0-or-later
// Turning a decoded raster the way its file says it is to be shown: the orientation
// codes of TIFF and of Exif (JPEG), which say where the stored first row and first column
// belong on screen.
//   1 as stored              2 mirrored left to right    3 turned half round
//   4 mirrored top to bottom 5 transposed (stored rows become columns, first row at left)
//   6 turned a quarter clockwise   7 transverse   8 turned a quarter anticlockwise
// Shown pixel (X, Y) of a w x h stored picture comes from stored pixel
//   1 (X, Y)  2 (w-1-X, Y)  3 (w-1-X, h-1-Y)  4 (X, h-1-Y)
//   5 (Y, X)  6 (Y, h-1-X)  7 (w-1-Y, h-1-X)  8 (w-1-Y, X)
// and codes 5 to 8 swap width and height.
#pragma once

#include "platform/rastix/Rastix.h"

namespace rastix {

// The raster as it is to be shown. Codes 1 and outside 1..8 return it unchanged; 2 to 4
// change it in place; 5 to 8 return a new raster with the same colours and release the
// old one, or, when the new one cannot be made, release it and return a refusal.
RasterImage ApplyOrientation(RasterImage raster, int orientation);

} // namespace rastix
