// SPDX-License-Identifier: GPL-3.0-or-later
// The raster library: creating, releasing, loading and halftoning rasters, and
// single-pixel access. Every raster goes in and out as a RasterImage by value.
// x counts columns from the left and y rows from the top of the picture.
#pragma once

#include "document/RasterImage.h"

#include <cstddef>
#include <cstdint>

// A new zero-filled raster of 1, 4, 8 or 24 bits per pixel. The first colourCount
// colour-table entries are copied from the packed bitmap at colourSource (none when
// null). The header's image size is stride x height. On failure (bad depth or size,
// width or height above 65535, pixel memory of 2 GiB or more, no memory) the pixel
// address is null and the record owns nothing.
RasterImage newdib(int32_t width, int32_t height, int32_t bitsPerPixel, const void *colourSource,
                   int32_t colourCount);

// Releases the raster's memory and palette handle. Harmless on a failed record.
void deldib(const RasterImage &raster);

// The picture in the file, as a 1-, 4-, 8- or 24-bit raster. The format is found
// from the file's content, never its name. On failure the pixel address is null and
// the palette entry area holds a zero-terminated error text. The second and third
// arguments (a flag and a window handle) are accepted and not used.
RasterImage OpenDib(const char *fileName, int32_t flags = 0, void *window = nullptr);

// The same on bytes already in memory.
RasterImage OpenDibMemory(const uint8_t *data, size_t size);

// On an indexed raster the palette index; on a 24-bit raster the packed colour
// R + 256 G + 65536 B. 0 outside the raster.
uint32_t getpixel(const RasterImage &raster, int32_t x, int32_t y);

// Writes one pixel: a packed colour on a 24-bit raster, a palette index on an indexed
// one (only the bits the depth holds). Ignored outside the raster.
void setpixel(const RasterImage &raster, int32_t x, int32_t y, uint32_t value);

// The 24-bit raster reduced to a fixed 8-bit palette by ordered dithering, at the same
// size or scaled (nearest neighbour) to width x height. The result has palette flag 1
// and a palette handle; the caller releases it with deldib.
RasterImage DIBHalftoneDIB(const RasterImage &raster);
RasterImage DIBHalftoneDIBXY(const RasterImage &raster, int32_t width, int32_t height);
