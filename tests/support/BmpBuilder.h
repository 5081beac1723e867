// SPDX-License-Identifier: GPL-3.0-or-later
// Builds BMP files byte by byte: from a layout for the cases no encoder writes on request
// (RLE4, hand-placed escapes, 2-bit and 16-bit BI_RGB pictures, broken headers), and
// from a picture of known palette indices or colours, so that loading tests know exactly
// which index and colour every pixel has.
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

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb &) const = default;
};

// A picture of 1, 4 or 8 bits per pixel (values are palette indices) or of 24 bits
// (values are packed R + 256 G + 65536 B), rows listed top first.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bits = 8;
    std::vector<Rgb> palette;
    std::vector<uint32_t> values; // width x height, top row first
    uint32_t at(int32_t x, int32_t y) const { return values[size_t(y) * width + x]; }
};

// The uncompressed BMP file of the picture: 40-byte header, its palette for 1, 4 and 8
// bits, the rows bottom-up, each padded to a multiple of 4 bytes.
inline std::vector<uint8_t> MakeBmp(const Picture &p)
{
    BmpLayout layout;
    layout.width = p.width;
    layout.height = p.height;
    layout.bits = uint16_t(p.bits);
    if (p.bits <= 8) {
        layout.colourCount = uint32_t(p.palette.size());
        for (const Rgb &c : p.palette)
            layout.palette.push_back(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
    }
    const size_t stride = (size_t(p.width) * size_t(p.bits) + 31) / 32 * 4;
    for (int32_t y = p.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int32_t x = 0; x < p.width; ++x) {
            const uint32_t v = p.at(x, y);
            switch (p.bits) {
            case 1: row[size_t(x / 8)] |= uint8_t((v & 1) << (7 - x % 8)); break;
            case 4: row[size_t(x / 2)] |= uint8_t((v & 15) << (x % 2 == 0 ? 4 : 0)); break;
            case 8: row[size_t(x)] = uint8_t(v); break;
            default:
                row[size_t(3 * x)] = uint8_t(v >> 16);
                row[size_t(3 * x + 1)] = uint8_t(v >> 8);
                row[size_t(3 * x + 2)] = uint8_t(v);
                break;
            }
        }
        layout.pixels.insert(layout.pixels.end(), row.begin(), row.end());
    }
    return MakeBmp(layout);
}

// The colour the program should show for pixel (x, y) after loading: the palette
// entry for 4 and 8 bits, black for index 0 and white otherwise for 1 bit.
inline Rgb Expected(const Picture &p, int32_t x, int32_t y)
{
    const uint32_t v = p.at(x, y);
    switch (p.bits) {
    case 1: return v == 0 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
    case 4:
    case 8: return p.palette[v];
    default: return Rgb{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)};
    }
}

// A deterministic picture using every palette entry it has.
inline Picture Pattern(int32_t width, int32_t height, int32_t bits)
{
    Picture p{width, height, bits, {}, {}};
    if (bits <= 8) {
        const int32_t n = 1 << bits;
        for (int32_t i = 0; i < n; ++i)
            p.palette.push_back(
                Rgb{uint8_t(i * 37 + 11), uint8_t(255 - i * 13), uint8_t(i * 91 + 5)});
    }
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t seed = uint32_t(x * 7 + y * 13 + x * y);
            p.values.push_back(bits <= 8 ? seed % (1u << bits) : (seed * 2654435761u) & 0xffffffu);
        }
    }
    return p;
}

} // namespace testsupport
