// SPDX-License-Identifier: GPL-3.0-or-later
// The raster library's creating, releasing and opening calls as one replaceable seam,
// used by the main window and by loading alike. Tests put in calls that count
// allocations and releases, fail on demand, or hand back any picture for a file name.
#pragma once

#include "document/RasterImage.h"

#include <cstdint>
#include <functional>
#include <string>

namespace document {

struct RasterLibrary {
    // Empty members mean the library's own newdib, deldib and OpenDib(name, 0, window).
    std::function<RasterImage(int32_t width, int32_t height, int32_t bitsPerPixel,
                              const void *colourSource, int32_t colourCount)>
        NewDib;
    std::function<void(const RasterImage &raster)> DelDib;
    std::function<RasterImage(const std::string &fileName, void *window)> OpenDib;

    RasterImage New(int32_t width, int32_t height, int32_t bitsPerPixel,
                    const void *colourSource = nullptr, int32_t colourCount = 0) const;
    void Delete(const RasterImage &raster) const;
    RasterImage Open(const std::string &fileName, void *window) const;
};

// True when the record describes usable memory: a storage handle and a pixel address.
bool RasterExists(const RasterImage &raster);

} // namespace document
