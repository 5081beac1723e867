// SPDX-License-Identifier: GPL-3.0-or-later
// Builds BMP files byte by byte for the cases no encoder writes on request: RLE4,
// hand-placed escapes, 2-bit and 16-bit BI_RGB pictures, broken headers.
#pragma once

#include <cstdint>
#include <vector>

namespace testsupport {

struct BmpLayout {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t colourCount = 0;      // biClrUsed as written
    std::vector<uint32_t> palette; // 0x00RRGGBB, written blue first
    std::vector<uint32_t> masks;   // written right after a 40-byte header
    std::vector<uint8_t> pixels;   // the pixel data exactly as stored
};

inline void PutLe(std::vector<uint8_t> &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

// A "BM" file: file header, info header (12 or 40+ bytes, fields beyond 40 zero),
// masks, palette (3-byte entries for a 12-byte header), pixel data.
inline std::vector<uint8_t> MakeBmp(const BmpLayout &layout)
{
    std::vector<uint8_t> header;
    PutLe(header, layout.headerSize, 4);
    if (layout.headerSize == 12) {
        PutLe(header, uint32_t(layout.width), 2);
        PutLe(header, uint32_t(layout.height), 2);
        PutLe(header, 1, 2);
        PutLe(header, layout.bits, 2);
    } else {
        PutLe(header, uint32_t(layout.width), 4);
        PutLe(header, uint32_t(layout.height), 4);
        PutLe(header, 1, 2);
        PutLe(header, layout.bits, 2);
        PutLe(header, layout.compression, 4);
        PutLe(header, uint32_t(layout.pixels.size()), 4);
        PutLe(header, 2835, 4);
        PutLe(header, 2835, 4);
        PutLe(header, layout.colourCount, 4);
        PutLe(header, 0, 4);
        header.resize(layout.headerSize, 0);
    }
    for (uint32_t m : layout.masks)
        PutLe(header, m, 4);
    for (uint32_t c : layout.palette)
        PutLe(header, c, layout.headerSize == 12 ? 3 : 4);

    std::vector<uint8_t> file{'B', 'M'};
    PutLe(file, uint32_t(14 + header.size() + layout.pixels.size()), 4);
    PutLe(file, 0, 4);
    PutLe(file, uint32_t(14 + header.size()), 4);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
    return file;
}

} // namespace testsupport
