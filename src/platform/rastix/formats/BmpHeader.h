// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the headers of a BMP file or bare DIB into one layout description: Windows
// 3.x, V2/V3, V4 and V5 info headers, OS/2 1.x core headers (3-byte colour entries)
// and OS/2 2.x headers of 16 to 64 bytes.
#pragma once

#include "platform/rastix/formats/Decoder.h"

#include <cstdint>
#include <string>

namespace rastix {

struct BmpLayout {
    int64_t width = 0;
    int64_t height = 0;            // always positive; see topDown
    bool topDown = false;          // first stored row is the picture's top row
    int bits = 0;                  // 1, 2, 4, 8, 16, 24 or 32
    uint32_t compression = BI_RGB; // BI_RGB, BI_RLE8, BI_RLE4 or BI_BITFIELDS
    uint32_t masks[3] = {};        // red, green, blue for 16 and 32 bits
    size_t paletteOffset = 0;      // file offset of the first colour entry
    size_t paletteEntryBytes = 4;  // 3 for OS/2 1.x, else 4
    int paletteCount = 0;          // entries present in the file (0 above 8 bits)
    size_t pixelOffset = 0;        // file offset of the pixel data
    std::string error;             // the full refusal text when the file is unusable
};

// True when the bytes start with a BMP file header or a plausible bare DIB header.
bool LooksLikeBmp(Bytes file);

// The layout of the file's picture. When error is set nothing else is meaningful.
// The picture size is checked against the limits here, and the colour table is
// known to lie inside the file.
BmpLayout ReadBmpLayout(Bytes file);

} // namespace rastix
