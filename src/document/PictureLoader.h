// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a picture file into the document: read it, convert it to 24 bits per pixel
// and make the working copy. Headless; the main window shows the message and repaints.
#pragma once

#include "document/ProgressSink.h"
#include "document/RasterImage.h"
#include "document/RasterLibrary.h"

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

// "Error: The file " + fileName + " could not be loaded!"
std::string LoadErrorTitle(const std::string &fileName);

// The box for a file the library could not read: its error text under the caption
// LoadErrorTitle when the text is longer than 5 characters; otherwise LoadErrorTitle
// as the text under the caption "Error".
LoadMessage OpenFailureMessage(const std::string &fileName, const std::string &errorText);

// Loading runs in three steps, so that a window can convert in between as its own
// documented step: OpenPicture reads the file, the caller converts the result to 24 bits
// per pixel (ConvertInPlace), and AdoptPicture makes the new document of it. LoadPicture
// runs all three.

// The file as the library reads it, in its own depth.
struct OpenedPicture {
    RasterImage Raster; // owned by the caller when Opened
    bool Opened = false;
    LoadMessage Message; // when not Opened: the box that tells the user
};
OpenedPicture OpenPicture(const std::string &fileName, void *window,
                          const RasterLibrary &library = {});

// The document made from picture, the opened file after its conversion. When picture has
// 24 bits per pixel and its working copy (height x stride bytes of it) can be made, the
// previous pair is released and the result holds picture and the copy. Otherwise (the
// conversion failed, or there is no memory for the copy) picture and anything made on
// the way are released and the result holds previous untouched, with the message.
LoadResult AdoptPicture(const DocumentRasters &previous, const RasterImage &picture,
                        const std::string &fileName, const RasterLibrary &library = {});

// Loads fileName into a new document. On success the old pair is released and the
// result holds the new pair: both 24 bits per pixel and of equal size, Source the record
// OpenDib returned (converted when it was not 24-bit), Work a copy of Source's height x
// stride bytes. On any failure (the file cannot be read, or the converted picture or the
// working copy cannot be created) current is returned untouched and everything
// allocated on the way is released again. The conversion reports to progress.
LoadResult LoadPicture(const DocumentRasters &current, const std::string &fileName, void *window,
                       const ProgressSink &progress, const RasterLibrary &library = {});

} // namespace document
