// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a picture file into the document: read it, convert it to 24 bits per pixel
// and make the working copy. Headless; the main window shows the message and repaints.
#pragma once

#include "document/DepthConversion.h"
#include "document/RasterAllocator.h"
#include "document/RasterImage.h"

#include <functional>
#include <string>

namespace document {

// The document's two rasters: the picture as opened and the one being edited.
struct DocumentRasters {
    RasterImage Source;
    RasterImage Work;
};

// A message box to show: its message text and its caption.
struct LoadMessage {
    std::string Text;
    std::string Caption;
    bool operator==(const LoadMessage &) const = default;
};

struct LoadResult {
    // What the document holds afterwards: the new pair when Loaded, otherwise exactly
    // the pair that was passed in.
    DocumentRasters Rasters;
    bool Loaded = false;
    // When not Loaded, the message box that tells the user.
    LoadMessage Message;
};

// Replaceable steps, for tests. Empty members mean OpenDib(name, 0, window), newdib
// and deldib.
struct LoadSeams {
    std::function<RasterImage(const std::string &fileName, void *window)> Open;
    RasterAllocator Allocate;
    std::function<void(const RasterImage &raster)> Release;
};

// "Error: The file " + fileName + " could not be loaded!"
std::string LoadErrorTitle(const std::string &fileName);

// The box for a file the library could not read: its error text under the caption
// LoadErrorTitle when the text is longer than 5 characters; otherwise LoadErrorTitle
// as the text under the caption "Error".
LoadMessage OpenFailureMessage(const std::string &fileName, const std::string &errorText);

// Loads fileName. On success the old pair is released with deldib and the result holds
// the new pair: both 24 bits per pixel and of equal size, Source the record OpenDib
// returned (converted when it was not 24-bit), Work a copy of Source's height x stride
// bytes. On any failure (the file cannot be read, or the converted picture or the
// working copy cannot be created) current is returned untouched and everything
// allocated on the way is released again. The conversion reports to progress.
LoadResult LoadPicture(const DocumentRasters &current, const std::string &fileName, void *window,
                       const ProgressFunction &progress, const LoadSeams &seams = {});

} // namespace document
