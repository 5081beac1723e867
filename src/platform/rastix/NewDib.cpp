// SPDX-License-Identifier: GPL-3.0-or-later
// newdib and deldib: one zero-filled block per raster holds the packed bitmap
// (header and a 256-entry colour table) followed by the pixel memory; the storage
// handle is that block's address.
#include "platform/rastix/Rastix.h"

#include "platform/rastix/HugePages.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int64_t kMaxSide = 65535;
constexpr int64_t kMaxPixelBytes = 0x7fffffff;
constexpr size_t kPackedBitmapBytes = 40 + 256 * sizeof(RGBQUAD);

bool ValidDepth(int32_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

} // namespace

RasterImage newdib(int32_t width, int32_t height, int32_t bitsPerPixel, const void *colourSource,
                   int32_t colourCount)
{
    RasterImage raster;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide
        || !ValidDepth(bitsPerPixel))
        return raster;

    const int64_t rowBytes = (int64_t(width) * bitsPerPixel + 7) / 8;
    const int64_t stride = (rowBytes + 3) / 4 * 4;
    const int64_t pixelBytes = stride * height;
    if (pixelBytes > kMaxPixelBytes)
        return raster;

    const size_t blockBytes = kPackedBitmapBytes + size_t(pixelBytes);
    auto *block = static_cast<uint8_t *>(std::calloc(1, blockBytes));
    if (!block)
        return raster;
    rastix::AdviseHugePages(block, blockBytes);

    raster.Storage = reinterpret_cast<uintptr_t>(block);
    raster.Bitmap = block;
    raster.Pixels = block + kPackedBitmapBytes;
    raster.Stride = int32_t(stride);

    BITMAPINFOHEADER *header = raster.Header();
    header->biSize = 40;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = uint16_t(bitsPerPixel);
    header->biCompression = BI_RGB;
    header->biSizeImage = uint32_t(pixelBytes);

    int32_t tableSize = bitsPerPixel <= 8 ? PowerOfTwo(bitsPerPixel) : 0;
    header->biClrUsed = uint32_t(tableSize);
    if (colourSource && colourCount > 0) {
        const int32_t n = colourCount < 256 ? colourCount : 256;
        std::memcpy(raster.ColourTable(), static_cast<const uint8_t *>(colourSource) + 40,
                    size_t(n) * sizeof(RGBQUAD));
    }

    // The logical palette mirrors the colour table (red first there).
    raster.Palette.palVersion = 0x300;
    raster.Palette.palNumEntries = uint16_t(tableSize);
    for (int32_t i = 0; i < tableSize; ++i) {
        const RGBQUAD &q = raster.ColourTable()[i];
        raster.Palette.palPalEntry[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
    }
    if (tableSize > 0)
        raster.PaletteHandle = CreatePalette(raster.Palette);
    return raster;
}

void deldib(const RasterImage &raster)
{
    DeletePalette(raster.PaletteHandle);
    std::free(reinterpret_cast<void *>(raster.Storage));
}
