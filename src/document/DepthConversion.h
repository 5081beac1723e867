// SPDX-License-Identifier: GPL-3.0-or-later
// Converting a freshly loaded raster to 24 bits per pixel.
#pragma once

#include "document/ProgressSink.h"
#include "document/RasterImage.h"
#include "document/RasterLibrary.h"

#include <cstdint>

namespace document {

struct DepthConversion {
    // The 24-bit raster: source itself when it already had 24 bits, otherwise a new
    // raster the caller now owns. A failed record when Ok is false.
    RasterImage Raster;
    bool Ok = false;
};

// Converts source to depth bits per pixel; 24 is the only depth defined.
//
// 1-bit sources go through getpixel/setpixel: index 0 becomes black, any other index
// white, whatever the palette says. 4- and 8-bit sources are read from pixel memory
// (the 4-bit path keeps the high nibble for even columns) and each pixel takes blue,
// green and red from the source record's logical palette entry. Source and target are
// walked by the same memory row, so the orientation is kept.
//
// Progress: 0 first, then RowProgress(y, h) as each row begins, then 0, on every path
// (also when nothing is converted or the conversion fails).
//
// Never releases source. Fails (Ok false, nothing left allocated) when the 24-bit
// raster cannot be created, when depth is not 24, or when source is not a 1-, 4-, 8-
// or 24-bit raster with pixel memory. Rasters come from and go back to library.
DepthConversion DepthUpTo(const RasterImage &source, int32_t depth, const ProgressSink &progress,
                          const RasterLibrary &library = {});

// DepthUpTo on raster itself: on success raster holds the converted picture and the one
// it held before is released (unless it already had the depth); on failure raster is
// left as it was. True on success.
bool ConvertInPlace(RasterImage &raster, int32_t depth, const ProgressSink &progress,
                    const RasterLibrary &library = {});

} // namespace document
