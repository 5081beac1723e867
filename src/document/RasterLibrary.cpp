// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RasterLibrary.h"

namespace document {

RasterImage RasterLibrary::New(int32_t width, int32_t height, int32_t bitsPerPixel,
                               const void *colourSource, int32_t colourCount) const
{
    if (NewDib)
        return NewDib(width, height, bitsPerPixel, colourSource, colourCount);
    return newdib(width, height, bitsPerPixel, colourSource, colourCount);
}

void RasterLibrary::Delete(const RasterImage &raster) const
{
    if (DelDib)
        DelDib(raster);
    else
        deldib(raster);
}

RasterImage RasterLibrary::Open(const std::string &fileName, void *window) const
{
    if (OpenDib)
        return OpenDib(fileName, window);
    return ::OpenDib(fileName.c_str(), 0, window);
}

bool RasterExists(const RasterImage &raster)
{
    return raster.Storage != 0 && raster.Pixels != nullptr;
}

} // namespace document
