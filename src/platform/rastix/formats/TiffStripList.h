// SPDX-License-Identifier: GPL-3.0-or-later
// The strips a TIFF directory lists, read from the file's own bytes. libtiff keeps only
// as many strips as RowsPerStrip implies (one when it is larger than the picture), so a
// file whose writer put a wrong RowsPerStrip beside more, shorter strips needs the
// directory's own StripOffsets and StripByteCounts. Classic and BigTIFF, either byte
// order; every offset and count is checked against the file's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rastix {

struct TiffStrip {
    uint64_t offset = 0;
    uint64_t bytes = 0;
};

struct TiffStripList {
    uint64_t rowsPerStrip = 0; // the tag's value; 0 when it is missing or unreadable
    std::vector<TiffStrip> strips;
};

// The directory at the given offset of the file; at most `most` strips. Empty when the
// directory or its strip tags cannot be read.
TiffStripList ListTiffStrips(const uint8_t *file, uint64_t size, uint64_t directory, size_t most);

} // namespace rastix
