// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/EdgeCost.h"

#include "colour/GreyColourTable.h"

#include <algorithm>
#include <cstdlib>

namespace colour {

EdgeCost::EdgeCost(const RasterImage &source)
{
    if (!source.Pixels || RasterBitCount(source) != 24 || RasterWidth(source) <= 0
        || RasterHeight(source) <= 0)
        return;
    const int32_t width = RasterWidth(source);
    const int32_t height = RasterHeight(source);
    const size_t w = size_t(width);
    cost_.assign((w + 2) * (size_t(height) + 2), 0);
    width_ = width;
    height_ = height;

    // The grey values smoothed across each row, then down each column.
    const GreyTerms &terms = GreyTermTable();
    std::vector<uint16_t> across(w * size_t(height));
    std::vector<uint8_t> grey(w);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t *p = PictureRow(source, y);
        for (size_t x = 0; x < w; ++x, p += 3)
            grey[x] = uint8_t(terms.Blue[p[0]] + terms.Green[p[1]] + terms.Red[p[2]]);
        uint16_t *out = across.data() + size_t(y) * w;
        for (size_t x = 0; x < w; ++x)
            out[x] = uint16_t(grey[x == 0 ? 0 : x - 1] + 2 * grey[x] + grey[x + 1 < w ? x + 1 : x]);
    }
    std::vector<uint16_t> smooth(across.size());
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t *up = across.data() + size_t(std::max(y - 1, 0)) * w;
        const uint16_t *mid = across.data() + size_t(y) * w;
        const uint16_t *down = across.data() + size_t(std::min(y + 1, height - 1)) * w;
        uint16_t *out = smooth.data() + size_t(y) * w;
        for (size_t x = 0; x < w; ++x)
            out[x] = uint16_t(up[x] + 2 * mid[x] + down[x]);
    }
    across.clear();
    across.shrink_to_fit();

    // Each pixel's cost, with the walls marked by the way their grey changes most.
    std::vector<uint8_t> alongX(smooth.size());
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t *above = smooth.data() + size_t(std::max(y - kSpan, 0)) * w;
        const uint16_t *here = smooth.data() + size_t(y) * w;
        const uint16_t *below = smooth.data() + size_t(std::min(y + kSpan, height - 1)) * w;
        uint8_t *out = cost_.data() + Index(0, y);
        uint8_t *a = alongX.data() + size_t(y) * w;
        for (int32_t x = 0; x < width; ++x) {
            const int32_t gx = std::abs(int32_t(here[std::min(x + kSpan, width - 1)])
                                        - here[std::max(x - kSpan, 0)]);
            const int32_t gy = std::abs(int32_t(below[x]) - int32_t(above[x]));
            out[x] = CostOf(std::max(gx, gy));
            a[x] = gx >= gy;
        }
    }
    // Each wall's nearest pixel that is no wall, along its way.
    for (int32_t y = 0; y < height; ++y) {
        uint8_t *out = cost_.data() + Index(0, y);
        for (int32_t x = 0; x < width; ++x) {
            if (!IsWall(out[x]))
                continue;
            const bool onX = alongX[size_t(y) * w + size_t(x)] != 0;
            int32_t offset = 0;
            for (int32_t k = 1; k <= kWallReach && offset == 0; ++k)
                for (const int32_t o : {-k, k}) {
                    const int32_t nx = onX ? x + o : x, ny = onX ? y : y + o;
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                        continue;
                    if (!IsWall(cost_[Index(nx, ny)])) {
                        offset = o;
                        break;
                    }
                }
            out[x] = uint8_t(kWall | (onX ? 0 : 64) | (offset + 32));
        }
    }
}

} // namespace colour
