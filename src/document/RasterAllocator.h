// SPDX-License-Identifier: GPL-3.0-or-later
// The seam through which document code creates rasters. It has newdib's arguments and
// contract (a record with a null pixel address on failure); tests substitute one that
// fails on demand.
#pragma once

#include "document/RasterImage.h"

#include <cstdint>
#include <functional>

namespace document {

using RasterAllocator =
    std::function<RasterImage(int32_t width, int32_t height, int32_t bitsPerPixel,
                              const void *colourSource, int32_t colourCount)>;

// newdib itself.
RasterAllocator LibraryAllocator();

// True when the record describes usable memory: a storage handle and a pixel address.
bool RasterExists(const RasterImage &raster);

} // namespace document
