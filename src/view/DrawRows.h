// SPDX-License-Identifier: GPL-3.0-or-later
// The row-by-row paths of DrawRaster: nearest-neighbour scaling through a one-row
// buffer raster, one SetDIBitsToDevice per destination row.
//
// Destination column x shows source column srcX + (srcWidth x) div destWidth and row y
// source row topRow + (srcHeight y) div destHeight, topRow counted from the top of the
// raster. Columns and rows whose source lies outside the raster come out black. A
// source row is copied into the buffer only when it differs from the previous row's.
// Destination rows and columns outside the DC's clip box are skipped altogether, so
// the cost follows the visible area; the pixels that land are the same as when the
// whole rectangle is drawn. Nothing is drawn for a width or height of 0 or less, or
// when the buffer cannot be made.
#pragma once

#include "document/RasterImage.h"
#include "platform/gdi/GdiTypes.h"

#include <cstdint>

// raster has 24 bits per pixel.
void DrawRows24(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                const RasterImage &raster, int32_t srcX, int32_t topRow, int32_t srcWidth,
                int32_t srcHeight);
// raster has 8 bits per pixel; the buffer carries its 256 colour-table entries.
void DrawRows8(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
               const RasterImage &raster, int32_t srcX, int32_t topRow, int32_t srcWidth,
               int32_t srcHeight);
