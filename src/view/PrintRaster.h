// SPDX-License-Identifier: GPL-3.0-or-later
// Printing a raster on one page of a printer or PDF writer.
#pragma once

#include "document/RasterImage.h"
#include "view/PrintPlacement.h"

class QPagedPaintDevice;
namespace gdi {
class MessageSink;
}

namespace view {

// The device's sheet in its device pixels, from its page layout and resolution: the
// whole paper, and the part its margins leave (the whole paper in full-page mode).
PrintPage PageOf(const QPagedPaintDevice &device);

enum class PrintResult {
    Printed,
    NoPicture,       // the raster has no pixels; the device was not touched
    NoPrintableArea, // the device's page has none; the device was not touched
    CouldNotStart,   // the device refused to begin a document
    CouldNotFinish,  // the document was begun but could not be completed
};

// Prints the whole raster as one page: the picture goes into PrintPlacement's rectangle
// for the device's page, drawn by DrawRaster on a printer device context, so through
// its stretched path; halftoning (a screen matter) is never used. The drawing's own
// messages go to sink (none: dropped).
PrintResult PrintRaster(QPagedPaintDevice &device, const RasterImage &raster,
                        const PrintChoice &choice, gdi::MessageSink *sink);

} // namespace view
