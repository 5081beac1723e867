// SPDX-License-Identifier: GPL-3.0-or-later
// The raster library: the raster record it hands out, the helpers that read a record's
// header, and creating, releasing, loading and halftoning rasters, and single-pixel
// access. Every raster goes in and out as a RasterImage by value. x counts columns from
// the left and y rows from the top of the picture.
//
// The record is byte-exact where it matters: the packed bitmap (a 40-byte
// BITMAPINFOHEADER followed by the colour table, blue, green, red, 0 per entry), the
// pixel memory (rows bottom-up, stride a multiple of 4, 24-bit pixels blue-green-red,
// 4-bit pixels high nibble first) and the logical palette block (version, count, 256
// entries red, green, blue, flags). After a failed OpenDib the palette entry area holds
// a zero-terminated error text instead. Addresses and handles have the machine's pointer
// width, so the record's size and the offsets after its first field are those of this
// build, not of a 32-bit one.
//
// Records are copied by value freely; only deldib releases the memory they describe.
#pragma once

#include "platform/rastix/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct RasterImage {
    uint8_t *Bitmap = nullptr; // packed bitmap: header, then colour table
    uintptr_t Storage = 0;     // owns packed bitmap and pixel memory; 0 when none
    uintptr_t Reserved1 = 0;
    uint8_t *Pixels = nullptr; // pixel memory; null when creation or loading failed
    int32_t Stride = 0;        // bytes per memory row
    uint8_t PaletteFlag = 0;   // 1: drawing selects PaletteHandle
    uint8_t Reserved2 = 0;
    LOGPALETTE256 Palette = {}; // logical palette, or the error text after a failed load
    uint16_t Reserved3 = 0;
    HPALETTE PaletteHandle = nullptr;
    uint8_t Reserved4[28] = {};

    const BITMAPINFOHEADER *Header() const
    {
        return reinterpret_cast<const BITMAPINFOHEADER *>(Bitmap);
    }
    BITMAPINFOHEADER *Header() { return reinterpret_cast<BITMAPINFOHEADER *>(Bitmap); }
    RGBQUAD *ColourTable() { return reinterpret_cast<RGBQUAD *>(Bitmap + 40); }
    const RGBQUAD *ColourTable() const { return reinterpret_cast<const RGBQUAD *>(Bitmap + 40); }
};

// The palette block must stay contiguous: version, count, then the entries.
static_assert(offsetof(LOGPALETTE256, palNumEntries) == 2);
static_assert(offsetof(LOGPALETTE256, palPalEntry) == 4);
static_assert(offsetof(RasterImage, Palette) % 2 == 0);

// Header readers. A record without a packed bitmap reads as 0 for every field.
int32_t RasterWidth(const RasterImage &raster);
int32_t RasterHeight(const RasterImage &raster);
int32_t RasterBitCount(const RasterImage &raster);
// 2 to the power n by doubling 1 n times; 1 for n <= 0.
int32_t PowerOfTwo(int32_t n);
// PowerOfTwo(RasterBitCount): 2, 16, 256 or 16777216.
int32_t RasterColourCount(const RasterImage &raster);
// The header's image size: bytes of pixel memory.
uint32_t RasterImageSize(const RasterImage &raster);

// The first byte of picture row y (counted from the top, 0..height - 1): pixel memory
// is bottom-up, so this is memory row height - 1 - y. The product is taken at pointer
// width; y is not checked.
inline uint8_t *PictureRow(const RasterImage &raster, ptrdiff_t y)
{
    return raster.Pixels + ptrdiff_t(raster.Stride) * (ptrdiff_t(RasterHeight(raster)) - 1 - y);
}

// The error text a failed OpenDib left in the palette entry area (empty when none).
std::string RasterErrorText(const RasterImage &raster);

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
