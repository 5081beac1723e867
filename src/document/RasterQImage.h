// SPDX-License-Identifier: GPL-3.0-or-later
// A raster's picture as a QImage, for writers that take one.
#pragma once

#include "document/RasterImage.h"
#include "document/RasterLibrary.h"

#include <QImage>

namespace document {

// The raster as a top-down RGB888 image with the same pixels; an indexed raster goes
// through its colour table. A null image when the raster has no pixel memory.
QImage RasterToQImage(const RasterImage &raster);

// The image as a new 24-bit raster from library, pixels composited over nothing (alpha is
// dropped); a failed record when the raster cannot be made.
RasterImage QImageToRaster(const QImage &image, const RasterLibrary &library = {});

} // namespace document
