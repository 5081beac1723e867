// SPDX-License-Identifier: GPL-3.0-or-later
#include "EdgeSpreadLiteral.h"

#include "colour/DoPix.h"
#include "colour/EdgeSpread.h"
#include "colour/GreyColourTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <queue>
#include <utility>

namespace literal {

namespace {

int32_t Grey(const RasterImage &source, int32_t x, int32_t y)
{
    const uint8_t *p = PictureRow(source, y) + 3 * x;
    return colour::GreyValue(p[2], p[1], p[0]);
}

// e: d, but a wall takes d + 10 |offset| of the pixel its offset names.
std::vector<uint32_t> Beside(const std::vector<uint32_t> &d, const std::vector<uint8_t> &cost,
                             int32_t w, int32_t h)
{
    std::vector<uint32_t> e(d);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            if (cost[i] < 128)
                continue;
            const int32_t offset = int32_t(cost[i] & 63) - 32;
            const bool across = (cost[i] & 64) == 0;
            e[i] = UINT32_MAX;
            if (offset == 0)
                continue;
            const size_t from =
                across ? i + size_t(ptrdiff_t(offset)) : size_t(y + offset) * size_t(w) + size_t(x);
            if (d[from] != UINT32_MAX)
                e[i] = d[from] + 10 * uint32_t(std::abs(offset));
        }
    return e;
}

} // namespace

std::vector<uint8_t> EdgeCostOf(const RasterImage &source)
{
    const int32_t w = RasterWidth(source), h = RasterHeight(source);
    auto g = [&](int32_t x, int32_t y) {
        return Grey(source, std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1));
    };
    auto s = [&](int32_t x, int32_t y) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        int32_t sum = 0;
        for (int32_t dy = -1; dy <= 1; ++dy)
            for (int32_t dx = -1; dx <= 1; ++dx)
                sum += (dx == 0 ? 2 : 1) * (dy == 0 ? 2 : 1) * g(x + dx, y + dy);
        return sum;
    };
    const int32_t k = colour::EdgeCost::kSpan;
    auto gx = [&](int32_t x, int32_t y) { return std::abs(s(x + k, y) - s(x - k, y)); };
    auto gy = [&](int32_t x, int32_t y) { return std::abs(s(x, y + k) - s(x, y - k)); };
    auto plain = [&](int32_t x, int32_t y) {
        const int32_t over = std::max(0, std::max(gx(x, y), gy(x, y)) - colour::EdgeCost::kFlat);
        return over >= 1 << 15 ? 1 << 30 : 1 + over * over / colour::EdgeCost::kSoftness;
    };
    std::vector<uint8_t> cost(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const int32_t c = plain(x, y);
            if (c <= 127) {
                cost[size_t(y) * size_t(w) + size_t(x)] = uint8_t(c);
                continue;
            }
            const bool across = gx(x, y) >= gy(x, y);
            int32_t offset = 0;
            for (int32_t d = 1; d <= 31 && offset == 0; ++d)
                for (const int32_t o : {-d, d}) {
                    const int32_t nx = across ? x + o : x, ny = across ? y : y + o;
                    if (nx >= 0 && ny >= 0 && nx < w && ny < h && plain(nx, ny) <= 127) {
                        offset = o;
                        break;
                    }
                }
            cost[size_t(y) * size_t(w) + size_t(x)] =
                uint8_t(128 + (across ? 0 : 64) + 32 + offset);
        }
    return cost;
}

std::vector<uint32_t> Distances(const std::vector<uint8_t> &cost, int32_t width, int32_t height,
                                const std::vector<bool> &seeds)
{
    std::vector<uint32_t> d(cost.size(), UINT32_MAX);
    using Item = std::pair<uint32_t, size_t>;
    std::priority_queue<Item, std::vector<Item>, std::greater<>> heap;
    for (size_t i = 0; i < seeds.size(); ++i)
        if (seeds[i]) {
            d[i] = 0;
            heap.push({0, i});
        }
    while (!heap.empty()) {
        const auto [dist, i] = heap.top();
        heap.pop();
        if (dist != d[i])
            continue;
        const int32_t x = int32_t(i % size_t(width)), y = int32_t(i / size_t(width));
        for (int32_t dy = -1; dy <= 1; ++dy)
            for (int32_t dx = -1; dx <= 1; ++dx) {
                const int32_t nx = x + dx, ny = y + dy;
                if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= width || ny >= height)
                    continue;
                const size_t n = size_t(ny) * size_t(width) + size_t(nx);
                if (cost[i] >= 128 || cost[n] >= 128)
                    continue; // a wall
                uint32_t step = 5 * (uint32_t(cost[i]) + cost[n]);
                if (dx != 0 && dy != 0) {
                    const uint32_t between = std::min(cost[size_t(y) * size_t(width) + size_t(nx)],
                                                      cost[size_t(ny) * size_t(width) + size_t(x)]);
                    if (between >= 128)
                        continue;
                    step = 7
                           * (std::max<uint32_t>(cost[i], between)
                              + std::max<uint32_t>(cost[n], between));
                }
                const uint32_t nd = dist + step;
                if (nd < d[n]) {
                    d[n] = nd;
                    heap.push({nd, n});
                }
            }
    }
    return d;
}

void Spread(const RasterImage &source, const RasterImage &work, const colour::StrokeRecord &record,
            const std::vector<bool> &write)
{
    const int32_t w = RasterWidth(source), h = RasterHeight(source);
    const std::vector<uint8_t> cost = EdgeCostOf(source);
    const colour::SpreadReach reach = colour::ReachOf(w, h);
    // Every mark's distances.
    std::vector<std::pair<uint16_t, std::vector<uint32_t>>> marks;
    for (size_t m = 1; m <= record.MarkCount(); ++m) {
        if (!record.Mark(uint16_t(m)).spreads)
            continue;
        std::vector<bool> seeds(size_t(w) * size_t(h));
        bool any = false;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if (record.Row(y)[x] == m)
                    any = seeds[size_t(y) * size_t(w) + size_t(x)] = true;
        if (any)
            marks.emplace_back(uint16_t(m), Beside(Distances(cost, w, h, seeds), cost, w, h));
    }
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            if (record.Row(y)[x] != 0 || (!write.empty() && !write[i]))
                continue;
            std::vector<std::pair<uint32_t, uint16_t>> near;
            for (const auto &[m, d] : marks)
                if (d[i] < reach.end)
                    near.emplace_back(d[i], m);
            if (near.empty())
                continue;
            std::sort(near.begin(), near.end());
            const uint32_t d1 = near[0].first;
            const uint32_t s =
                d1 <= reach.full ? 256 : 256 * (reach.end - d1) / (reach.end - reach.full);
            uint32_t f = 256;
            if (near.size() > 1 && near[1].first - d1 < colour::kBlendSpan)
                f = uint32_t(std::lround(
                    256.0 / (1.0 + std::exp(-double(near[1].first - d1) / colour::kBlendUnits))));
            uint8_t *out = PictureRow(work, y) + 3 * x;
            const uint8_t *src = PictureRow(source, y) + 3 * x;
            const int32_t grey = colour::GreyValue(src[2], src[1], src[0]);
            auto paints = [&](uint16_t m, int channel) -> uint32_t {
                const colour::StrokeMark &mark = record.Mark(m);
                if (!mark.colorize)
                    return src[channel];
                const colour::GreyColourTable t = colour::MakeGreyColourTable(mark.paint);
                return channel == 0   ? t.Blue[size_t(grey)]
                       : channel == 1 ? t.Green[size_t(grey)]
                                      : t.Red[size_t(grey)];
            };
            for (int c = 0; c < 3; ++c) {
                const uint32_t c1 = paints(near[0].second, c);
                const uint32_t c2 = near.size() > 1 ? paints(near[1].second, c) : c1;
                out[c] = uint8_t((s * (f * c1 + (256 - f) * c2) + (256 - s) * 256 * src[c] + 32768)
                                 >> 16);
            }
        }
}

std::vector<bool> AfterStroke(const RasterImage &source, const colour::StrokeRecord &record,
                              const Rect &strokeArea, uint16_t stroke)
{
    const int32_t w = RasterWidth(source), h = RasterHeight(source);
    std::vector<bool> seeds(size_t(w) * size_t(h));
    for (int32_t y = std::max(0, strokeArea.Top); y < std::min(h, strokeArea.Bottom); ++y)
        for (int32_t x = std::max(0, strokeArea.Left); x < std::min(w, strokeArea.Right); ++x)
            seeds[size_t(y) * size_t(w) + size_t(x)] = record.Row(y)[x] == stroke;
    const std::vector<uint8_t> cost = EdgeCostOf(source);
    const std::vector<uint32_t> d = Beside(Distances(cost, w, h, seeds), cost, w, h);
    const uint32_t end = colour::ReachOf(w, h).end;
    std::vector<bool> within(d.size());
    for (size_t i = 0; i < d.size(); ++i)
        within[i] = d[i] < end;
    return within;
}

} // namespace literal
