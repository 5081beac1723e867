// SPDX-License-Identifier: GPL-3.0-or-later
// libtiff reading a TIFF file that is already in memory. libtiff's messages are caught
// per file: its first error is kept as the file's error text and every error is counted
// (a read that returns success may still have reported one), warnings are dropped, and
// nothing is printed. Each of libtiff's own allocations for the file is limited.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <string>

namespace rastix {

struct TiffSource {
    const uint8_t *data = nullptr;
    uint64_t size = 0;
    uint64_t pos = 0;
    std::string error;  // libtiff's first error, empty when none
    int64_t errors = 0; // how many errors libtiff has reported
};

struct TiffCloser {
    void operator()(TIFF *tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// The first directory of the file; null when libtiff cannot read it (source.error says
// why, when libtiff did). The source must outlive the handle.
TiffHandle OpenTiffMemory(TiffSource &source);

} // namespace rastix
