// SPDX-License-Identifier: GPL-3.0-or-later
// Small uncompressed BMP files written byte by byte, so loading tests know exactly
// which palette index and colour every pixel has.
#pragma once

#include <cstdint>
#include <vector>

namespace handbmp {

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

inline void Put16(std::vector<uint8_t> &out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t> &out, uint32_t v)
{
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// The file: BITMAPFILEHEADER, BITMAPINFOHEADER, colour table (blue, green, red, 0),
// then the rows bottom-up, each padded to a multiple of 4 bytes.
inline std::vector<uint8_t> Encode(const Picture &p)
{
    const uint32_t rowBytes = (uint32_t(p.width) * uint32_t(p.bits) + 7) / 8;
    const uint32_t stride = (rowBytes + 3) / 4 * 4;
    const uint32_t colours = p.bits <= 8 ? uint32_t(p.palette.size()) : 0;
    const uint32_t offset = 14 + 40 + 4 * colours;
    const uint32_t imageSize = stride * uint32_t(p.height);

    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, uint32_t(p.width));
    Put32(out, uint32_t(p.height));
    Put16(out, 1);
    Put16(out, uint32_t(p.bits));
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, colours);
    Put32(out, 0);
    for (uint32_t i = 0; i < colours; ++i) {
        out.push_back(p.palette[i].b);
        out.push_back(p.palette[i].g);
        out.push_back(p.palette[i].r);
        out.push_back(0);
    }
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
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
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

} // namespace handbmp
