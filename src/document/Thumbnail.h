// SPDX-License-Identifier: GPL-3.0-or-later
// A small picture of a 24-bit raster, for a file's preview. Its longer side is `side`
// pixels and its shorter side in proportion, rounded down and at least 1; a raster no
// larger keeps its own size. Each pixel is the mean of the raster's pixels in its box:
// thumbnail column t covers raster columns t * W / w up to (t + 1) * W / w, not
// included (integer division, W and w the two widths), and rows likewise; each
// channel's mean is rounded to nearest, halves up.
#pragma once

#include "document/RasterImage.h"

#include <cstdint>
#include <vector>

namespace document {

struct Thumbnail {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Bgr; // rows from the top, 3 bytes a pixel, no padding
};

// Empty (0 x 0) for a raster that is not 24-bit. May throw std::bad_alloc.
Thumbnail MakeThumbnail(const RasterImage &raster, int32_t side);

} // namespace document
