// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/BmpRle.h"

#include <algorithm>

namespace rastix {

namespace {

// Writes index to (x, memory row y) when it lies inside the raster.
class RleTarget {
public:
    RleTarget(RasterImage &raster, int paletteCount)
        : raster_(raster), width_(RasterWidth(raster)), height_(RasterHeight(raster)),
          four_(RasterBitCount(raster) == 4), last_(uint8_t(paletteCount - 1))
    {
    }

    void Put(int64_t x, int64_t y, uint8_t index) const
    {
        if (x >= width_ || y >= height_)
            return;
        index = std::min(index, last_);
        // y counts rows from the bottom, as the file does.
        uint8_t *row = PictureRow(raster_, height_ - 1 - y);
        if (!four_) {
            row[x] = index;
        } else if (x % 2 == 0) {
            row[x / 2] = uint8_t((row[x / 2] & 0x0f) | index << 4);
        } else {
            row[x / 2] = uint8_t((row[x / 2] & 0xf0) | index);
        }
    }

    bool four() const { return four_; }
    int64_t height() const { return height_; }

private:
    RasterImage &raster_;
    int64_t width_;
    int64_t height_;
    bool four_;
    uint8_t last_;
};

} // namespace

std::string UnpackBmpRle(Bytes data, RasterImage &raster, int paletteCount)
{
    const RleTarget target(raster, paletteCount);
    const uint8_t *p = data.data;
    const uint8_t *const end = data.data + data.size;
    // Positions grow by at most 255 per instruction, so int64 never overflows here.
    int64_t x = 0, y = 0;
    while (y < target.height()) {
        if (end - p < 2)
            return "the compressed pixel data ends before the last row";
        const int count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                const uint8_t index = !target.four() ? uint8_t(value)
                                      : i % 2 == 0   ? uint8_t(value >> 4)
                                                     : uint8_t(value & 15);
                target.Put(x + i, y, index);
            }
            x += count;
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (end - p < 2)
                return "the compressed pixel data ends inside a delta";
            x += p[0];
            y += p[1];
            p += 2;
        } else {
            // Absolute run of `value` pixels, padded to a whole 16-bit word.
            const int64_t bytes = target.four() ? (value + 1) / 2 : value;
            const int64_t padded = (bytes + 1) / 2 * 2;
            if (end - p < padded)
                return "the compressed pixel data ends inside a run";
            for (int i = 0; i < value; ++i) {
                const uint8_t index = !target.four() ? p[i]
                                      : i % 2 == 0   ? uint8_t(p[i / 2] >> 4)
                                                     : uint8_t(p[i / 2] & 15);
                target.Put(x + i, y, index);
            }
            x += value;
            p += padded;
        }
    }
    return {};
}

} // namespace rastix
