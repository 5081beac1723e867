// SPDX-License-Identifier: GPL-3.0-or-later
// Colorize everything: DoPix on every pixel of the picture at once.
#pragma once

#include "colour/Paint.h"
#include "document/RasterImage.h"

#include <cstdint>

namespace ops {

// Writes exactly what DoPix(source, work, x, y, hue, saturation, brightness, colorize)
// for every row y = 0..H - 1 and column x = 0..W - 1 writes, W and H from source:
// with colorize set, each work pixel becomes the colour of its source pixel's grey
// value (colour/GreyColourTable.h, built once); with colorize clear (the eraser), each
// work pixel becomes the source pixel, so work then equals source in every pixel.
// Only the part both rasters cover is written, padding bytes are left alone, and
// rasters that are not 24-bit or have no pixel memory are left alone. Allocates
// nothing and reports no progress; vector instructions are chosen at run time
// (ops/SimdTargets.h).
void ColorizeAll(const RasterImage &source, const RasterImage &work, int32_t hue,
                 int32_t saturation, int32_t brightness, bool colorize);

// The same with the colours of a paint: with colorize set, each work pixel becomes its
// source grey's entry of MakeGreyColourTable(paint), tones kept when the paint says so.
void ColorizeAll(const RasterImage &source, const RasterImage &work, const colour::Paint &paint,
                 bool colorize);

} // namespace ops
