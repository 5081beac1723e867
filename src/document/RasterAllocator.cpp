// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RasterAllocator.h"

#include "platform/rastix/Rastix.h"

namespace document {

RasterAllocator LibraryAllocator()
{
    return [](int32_t width, int32_t height, int32_t bits, const void *source, int32_t count) {
        return newdib(width, height, bits, source, count);
    };
}

bool RasterExists(const RasterImage &raster)
{
    return raster.Storage != 0 && raster.Pixels != nullptr;
}

} // namespace document
