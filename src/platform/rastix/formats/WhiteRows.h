// SPDX-License-Identifier: GPL-3.0-or-later
// Filling the part of a picture that a damaged file does not hold: the rows from a given
// one to the bottom take white, or on an indexed raster the colour-table entry nearest
// to white (the lightest one when the table has no white).
#pragma once

#include "platform/rastix/Rastix.h"

#include <cstdint>

namespace rastix {

// Rows fromRow to the last (counted from the top) of a 1-, 4-, 8- or 24-bit raster.
void FillWhiteFrom(const RasterImage &raster, int64_t fromRow);

} // namespace rastix
