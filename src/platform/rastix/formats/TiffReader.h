// SPDX-License-Identifier: GPL-3.0-or-later
// The ways the TIFF decoder reads the stored rows into the raster, through
// TiffRowConverter:
//   Direct      uncompressed strips whose every byte is in the file, converted where
//               they lie, no copy in between
//   ScanLines   other chunky strips, one scan line at a time through libtiff
//   Bands       planar strips and tiles, one band of strips or tiles at a time
//   Listed      chunky strips as the directory lists them (TiffStripList.h), each
//               decoded by libtiff from its own bytes, for files whose RowsPerStrip
//               is larger than the picture while their strips hold fewer rows
// A read that fails, or that returns success after libtiff reported an error through
// the file's handler (its fax decoders do that for a bad code word), ends the good
// rows: ScanLines at that scan line, Bands at the first row of that band.
#pragma once

#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/TiffMemory.h"
#include "platform/rastix/formats/TiffPlan.h"
#include "platform/rastix/formats/TiffRows.h"
#include "platform/rastix/formats/TiffStripList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rastix {

// What a reading path got.
struct TiffRead {
    int64_t rows = 0;    // rows read from the top, as stored, before the first error
    std::string refusal; // the whole refusal text when nothing could be read at all
};

// "The picture is too large: its TIFF strips or tiles need more than 256 MiB at once".
std::string TiffBandTooLarge();

struct TiffReader {
    TIFF *tiff;
    TiffSource &file;
    const TiffPlan &plan;
    TiffRowConverter &rows;
    const RasterImage &raster;
    int64_t width, height;

    // False (nothing read) when the file does not allow it.
    bool Direct() const;
    TiffRead ScanLines() const;
    TiffRead Bands() const;
    // strips[first] on, from row y down to the bottom of the picture: an uncompressed
    // strip holds the rows its byte count holds, a compressed one stripRows rows.
    TiffRead Listed(const std::vector<TiffStrip> &strips, size_t first, int64_t y,
                    int64_t stripRows) const;

private:
    int Planes() const { return plan.planar ? plan.samples : 1; }
    std::string Damaged(const char *fallback) const;
};

} // namespace rastix
