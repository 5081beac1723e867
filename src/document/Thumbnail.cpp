// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Thumbnail.h"

#include <algorithm>

namespace document {

Thumbnail MakeThumbnail(const RasterImage &raster, int32_t side)
{
    Thumbnail thumbnail;
    const int32_t w = RasterWidth(raster);
    const int32_t h = RasterHeight(raster);
    if (!raster.Pixels || RasterBitCount(raster) != 24 || w <= 0 || h <= 0 || side <= 0)
        return thumbnail;
    int32_t tw = w;
    int32_t th = h;
    if (std::max(w, h) > side) {
        tw = w >= h ? side : std::max<int32_t>(1, int32_t(int64_t(w) * side / h));
        th = h >= w ? side : std::max<int32_t>(1, int32_t(int64_t(h) * side / w));
    }
    // Each raster column's thumbnail column; each box is at least one pixel wide.
    std::vector<int32_t> column(size_t(w), 0);
    for (int32_t t = 0; t < tw; ++t)
        for (int32_t x = int32_t(int64_t(t) * w / tw); x < int32_t(int64_t(t + 1) * w / tw); ++x)
            column[size_t(x)] = t;
    thumbnail.Width = tw;
    thumbnail.Height = th;
    thumbnail.Bgr.resize(size_t(tw) * size_t(th) * 3);
    // A box is a few hundred pixels a side at most: its sums fit 32 bits easily.
    std::vector<uint32_t> sums(size_t(tw) * 3);
    for (int32_t t = 0; t < th; ++t) {
        const auto y0 = int32_t(int64_t(t) * h / th);
        const auto y1 = int32_t(int64_t(t + 1) * h / th);
        std::fill(sums.begin(), sums.end(), 0u);
        for (int32_t y = y0; y < y1; ++y) {
            const uint8_t *in = PictureRow(raster, y);
            for (int32_t x = 0; x < w; ++x) {
                uint32_t *sum = &sums[size_t(column[size_t(x)]) * 3];
                sum[0] += in[3 * x];
                sum[1] += in[3 * x + 1];
                sum[2] += in[3 * x + 2];
            }
        }
        uint8_t *out = thumbnail.Bgr.data() + size_t(t) * size_t(tw) * 3;
        for (int32_t s = 0; s < tw; ++s) {
            const auto count =
                uint32_t(int64_t(s + 1) * w / tw - int64_t(s) * w / tw) * uint32_t(y1 - y0);
            for (int c = 0; c < 3; ++c)
                out[3 * s + c] = uint8_t((sums[size_t(s) * 3 + c] + count / 2) / count);
        }
    }
    return thumbnail;
}

} // namespace document
