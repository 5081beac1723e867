// SPDX-License-Identifier: GPL-3.0-or-later
// The raster record as the program sees it: the record the raster library hands out and
// the helpers that read its header (RasterWidth, RasterHeight, RasterBitCount,
// PowerOfTwo, RasterColourCount, RasterImageSize, RasterErrorText). They belong to the
// library's interface and are defined there; code above the library includes this
// header for them.
#pragma once

#include "platform/rastix/Rastix.h"
