// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an OpenRaster (.ora) file. A work file this program wrote (two layers,
// "Colour" over "Original", each of the picture's size) gives back both rasters and
// the window's state and the stroke record when it holds them. Any other OpenRaster file gives its
// merged picture, or its visible layers composited over white when it has none, as both rasters, as
// any other picture.
//
// Whatever the bytes, nothing large is allocated before it is known to be needed: every
// entry is read only when its declared size is within what a picture of the declared
// size can need, every layer's size is checked against stack.xml and the raster
// library's picture-size limits before it is decoded, and layer paths that leave the
// archive (absolute, "..", backslashes) are refused. A refusal releases everything made
// on the way and says what is wrong.
#pragma once

#include "colour/StrokeRecord.h"
#include "document/PictureLoader.h"
#include "document/RasterLibrary.h"
#include "document/WorkState.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace document {

struct WorkFileContent {
    DocumentRasters Rasters; // both 24-bit and of one size when Read; the caller's then
    bool Read = false;
    bool Work = false;              // a work file of this program: Source is the original
    std::optional<WorkState> State; // a work file's state, when it keeps one
    std::string Error;              // when not Read: what is wrong, for the user
    // A work file's stroke record, when it keeps one of the picture's size that reads
    // right; a damaged one is left out, as a file without one.
    std::optional<colour::StrokeRecord> Strokes;
};

// True when the bytes start as a zip archive does; such a file is read as OpenRaster.
bool LooksLikeZip(const uint8_t *data, size_t size);

WorkFileContent ReadWorkFile(const uint8_t *data, size_t size, const RasterLibrary &library = {});

// The named file read as OpenRaster when it starts as a zip archive does; nothing when
// it does not (or cannot be read at all), so that it is opened as a picture.
std::optional<WorkFileContent> OpenWorkFile(const std::string &fileName,
                                            const RasterLibrary &library = {});

} // namespace document
