// SPDX-License-Identifier: GPL-3.0-or-later
// The two ways DrawRaster draws when the device refuses StretchDIBits. Rectangles are
// already cut to the raster; srcY counts rows from the bottom.
#pragma once

#include "document/RasterImage.h"
#include "platform/gdi/GdiTypes.h"

#include <cstdint>

// Resamples the source rectangle to destWidth x destHeight in a new raster of the
// source's depth, first and last source columns and rows landing on the first and last
// destination ones, and draws it unscaled with SetDIBitsToDevice. A destination one
// pixel wide (high) shows the rectangle's first column (its bottom row; for 1-bit
// rasters, which are read from the top, its top row). True when SetDIBitsToDevice reported success;
// false also when the raster could not be made.
bool DrawResampled(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                   const RasterImage &raster, int32_t srcX, int32_t srcY, int32_t srcWidth,
                   int32_t srcHeight);

// Loads the whole raster into a bitmap compatible with the device and copies the source
// rectangle with StretchBlt. Each failure is shown through the DC's message sink.
void DrawThroughBitmap(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                       const RasterImage &raster, int32_t srcX, int32_t srcY, int32_t srcWidth,
                       int32_t srcHeight, uint32_t rasterOp);
