// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing a rectangle of a raster, scaled by nearest neighbour, onto a device context.
#pragma once

#include "document/RasterImage.h"
#include "platform/gdi/GdiTypes.h"

#include <cstdint>

// Draws the source rectangle (srcX, srcY, srcWidth, srcHeight; y counted in rows from
// the bottom of the raster, as in bitmap transfers) into the destination rectangle
// (device pixels). The source rectangle is first cut to the raster, shrinking the
// destination in proportion. Then, by the raster's depth, the screen's and the device:
//  - 24 bits on a screen of at most 8 bits with allowHalftone: the raster library's
//    halftoned copy through one StretchDIBits;
//  - 24 or 8 bits on anything but a printer: row by row (DrawRows24, DrawRows8);
//  - otherwise one StretchDIBits, then, if the device refuses it, a resampled copy
//    through SetDIBitsToDevice, then a compatible bitmap through StretchBlt, whose
//    failures are shown through the DC's message sink.
// The palette selected is the raster's own handle when useRasterPalette, else palette;
// it is selected only when the raster's palette flag is 1 (and always around the
// halftoned transfer), and the DC's previous palette is restored. The stretch mode is
// left at COLORONCOLOR. A raster without pixels draws nothing.
void DrawRaster(HDC dc, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                const RasterImage &raster, int32_t srcX, int32_t srcY, int32_t srcWidth,
                int32_t srcHeight, bool allowHalftone, uint32_t rasterOp, bool useRasterPalette,
                HPALETTE palette);

// Bits per pixel of the screen the DC belongs to.
int ScreenBitsPerPixel(HDC dc);
