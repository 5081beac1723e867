// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/Orientation.h"

#include "platform/rastix/formats/Decoder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace rastix {
namespace {

uint32_t Get(const uint8_t *row, int64_t x, int depth)
{
    switch (depth) {
    case 1: return row[x / 8] >> (7 - x % 8) & 1u;
    case 4: return x % 2 ? row[x / 2] & 15u : uint32_t(row[x / 2] >> 4);
    case 8: return row[x];
    default:
        return uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8
               | uint32_t(row[3 * x + 2]) << 16;
    }
}

void Put(uint8_t *row, int64_t x, int depth, uint32_t v)
{
    switch (depth) {
    case 1: {
        const auto mask = uint8_t(0x80u >> (x % 8));
        row[x / 8] = uint8_t(v ? row[x / 8] | mask : row[x / 8] & ~mask);
        break;
    }
    case 4:
        row[x / 2] =
            x % 2 ? uint8_t((row[x / 2] & 0xF0) | v) : uint8_t((row[x / 2] & 0x0F) | v << 4);
        break;
    case 8: row[x] = uint8_t(v); break;
    default:
        row[3 * x] = uint8_t(v);
        row[3 * x + 1] = uint8_t(v >> 8);
        row[3 * x + 2] = uint8_t(v >> 16);
        break;
    }
}

void MirrorRow(uint8_t *row, int64_t width, int depth, std::vector<uint8_t> &scratch)
{
    if (depth == 8) {
        std::reverse(row, row + width);
        return;
    }
    if (depth == 24) {
        for (int64_t a = 0, b = width - 1; a < b; ++a, --b)
            std::swap_ranges(row + 3 * a, row + 3 * a + 3, row + 3 * b);
        return;
    }
    const size_t bytes = size_t((width * depth + 7) / 8);
    std::memcpy(scratch.data(), row, bytes);
    for (int64_t x = 0; x < width; ++x)
        Put(row, x, depth, Get(scratch.data(), width - 1 - x, depth));
}

// Orientations 5 to 8 into a new raster of the swapped size, in blocks so that both
// the rows read and the rows written stay in the cache.
void Transpose(const RasterImage &from, const RasterImage &to, int orientation)
{
    const int64_t w = RasterWidth(from), h = RasterHeight(from);
    const int depth = RasterBitCount(from);
    const bool mirrorX = orientation == 7 || orientation == 8; // source x runs backwards
    const bool mirrorY = orientation == 6 || orientation == 7; // source y runs backwards
    constexpr int64_t kBlock = 64;
    // Shown (X, Y) comes from stored (sx, sy) = (Y or w-1-Y, X or h-1-X).
    for (int64_t y0 = 0; y0 < w; y0 += kBlock) {
        for (int64_t x0 = 0; x0 < h; x0 += kBlock) {
            const int64_t y1 = std::min(w, y0 + kBlock), x1 = std::min(h, x0 + kBlock);
            for (int64_t y = y0; y < y1; ++y) {
                uint8_t *out = PictureRow(to, y);
                const int64_t sx = mirrorX ? w - 1 - y : y;
                for (int64_t x = x0; x < x1; ++x) {
                    const uint8_t *in = PictureRow(from, mirrorY ? h - 1 - x : x);
                    if (depth == 24)
                        std::memcpy(out + 3 * x, in + 3 * sx, 3);
                    else if (depth == 8)
                        out[x] = in[sx];
                    else
                        Put(out, x, depth, Get(in, sx, depth));
                }
            }
        }
    }
}

} // namespace

RasterImage ApplyOrientation(RasterImage raster, int orientation)
{
    if (!raster.Pixels || orientation < 2 || orientation > 8)
        return raster;
    const int64_t width = RasterWidth(raster), height = RasterHeight(raster);
    const int depth = RasterBitCount(raster);
    if (orientation <= 4) {
        std::vector<uint8_t> scratch(size_t(raster.Stride));
        if (orientation == 3 || orientation == 4) {
            for (int64_t y = 0; y < height / 2; ++y)
                std::swap_ranges(PictureRow(raster, y), PictureRow(raster, y) + raster.Stride,
                                 PictureRow(raster, height - 1 - y));
        }
        if (orientation == 2 || orientation == 3) {
            for (int64_t y = 0; y < height; ++y)
                MirrorRow(PictureRow(raster, y), width, depth, scratch);
        }
        return raster;
    }
    const int colours = depth <= 8 ? 1 << depth : 0;
    const RasterImage turned =
        newdib(int32_t(height), int32_t(width), depth, colours ? raster.Bitmap : nullptr, colours);
    if (!turned.Pixels) {
        deldib(raster);
        return FailedRaster("Not enough memory to turn a picture of " + std::to_string(width)
                            + " x " + std::to_string(height) + " pixels");
    }
    Transpose(raster, turned, orientation);
    deldib(raster);
    return turned;
}

} // namespace rastix
