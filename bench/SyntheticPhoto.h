// SPDX-License-Identifier: GPL-3.0-or-later
// A synthetic photograph for judging an edge-following spread: a few dozen regions of
// random shape (a Voronoi diagram of warped coordinates), grey levels that differ by 16
// to 60 between neighbours, edges softened over a few pixels, fine texture and noise,
// and one short scribble inside each region, well clear of its border.
#pragma once

#include "platform/rastix/Rastix.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <vector>

namespace synthetic {

struct Scribble {
    int32_t x1, y1, x2, y2, radius;
    uint16_t region;
};

struct Photo {
    int32_t width = 0, height = 0;
    std::vector<uint16_t> region; // each pixel's region, row by row from the top
    std::vector<int32_t> grey;    // each region's grey level
    std::vector<std::set<uint16_t>> neighbours;
    std::vector<Scribble> scribbles; // one per region that has room for it
    RasterImage raster{};            // the picture, 24 bits
};

inline Photo MakePhoto(int32_t width, int32_t height, int32_t regions, uint32_t seed)
{
    Photo p;
    p.width = width;
    p.height = height;
    std::mt19937 rng(seed);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<>(lo, hi)(rng);
    };
    std::vector<double> sx(static_cast<size_t>(regions)), sy(static_cast<size_t>(regions));
    for (int32_t k = 0; k < regions; ++k) {
        sx[size_t(k)] = uniform(0, width);
        sy[size_t(k)] = uniform(0, height);
    }
    const double scale = std::max(width, height) / 12.0;
    const double fx = uniform(1, 3) / scale, fy = uniform(1, 3) / scale;
    p.region.resize(size_t(width) * size_t(height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const double wx = x + 0.35 * scale * std::sin(y * fy + 1.3) * std::cos(x * fx * 0.7);
            const double wy = y + 0.35 * scale * std::cos(x * fx + 0.4) * std::sin(y * fy * 0.6);
            int32_t best = 0;
            double bestD = 1e300;
            for (int32_t k = 0; k < regions; ++k) {
                const double d = (wx - sx[size_t(k)]) * (wx - sx[size_t(k)])
                                 + (wy - sy[size_t(k)]) * (wy - sy[size_t(k)]);
                if (d < bestD) {
                    bestD = d;
                    best = k;
                }
            }
            p.region[size_t(y) * size_t(width) + size_t(x)] = uint16_t(best);
        }
    // A warped cell can fall apart into pieces: each piece is a region of its own.
    {
        std::vector<uint16_t> piece(p.region.size(), UINT16_MAX);
        std::vector<size_t> stack;
        uint16_t pieces = 0;
        for (size_t start = 0; start < p.region.size(); ++start) {
            if (piece[start] != UINT16_MAX)
                continue;
            const uint16_t cell = p.region[start];
            piece[start] = pieces;
            stack.push_back(start);
            while (!stack.empty()) {
                const size_t i = stack.back();
                stack.pop_back();
                const auto x = int32_t(i % size_t(width)), y = int32_t(i / size_t(width));
                for (const auto &[dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                    const int32_t nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                        continue;
                    const size_t n = size_t(ny) * size_t(width) + size_t(nx);
                    if (piece[n] == UINT16_MAX && p.region[n] == cell) {
                        piece[n] = pieces;
                        stack.push_back(n);
                    }
                }
            }
            ++pieces;
        }
        p.region = std::move(piece);
        regions = pieces;
    }
    p.neighbours.resize(size_t(regions));
    for (int32_t y = 0; y + 1 < height; ++y)
        for (int32_t x = 0; x + 1 < width; ++x) {
            const uint16_t a = p.region[size_t(y) * size_t(width) + size_t(x)];
            for (const uint16_t b : {p.region[size_t(y) * size_t(width) + size_t(x) + 1],
                                     p.region[size_t(y + 1) * size_t(width) + size_t(x)]})
                if (a != b) {
                    p.neighbours[a].insert(b);
                    p.neighbours[b].insert(a);
                }
        }
    // Grey levels: each region differs from every neighbour already given one by 16 to
    // 60, chosen among random tries (the best try when none fits).
    p.grey.assign(size_t(regions), -1);
    for (int32_t k = 0; k < regions; ++k) {
        int32_t best = 128, bestMiss = INT32_MAX;
        for (int tries = 0; tries < 400 && bestMiss > 0; ++tries) {
            const auto g = int32_t(uniform(30, 225));
            int32_t miss = 0;
            for (uint16_t n : p.neighbours[size_t(k)]) {
                if (p.grey[n] < 0)
                    continue;
                const int32_t d = std::abs(g - p.grey[n]);
                miss += d < 16 ? 16 - d : d > 60 ? d - 60 : 0;
            }
            if (miss < bestMiss) {
                bestMiss = miss;
                best = g;
            }
        }
        p.grey[size_t(k)] = best;
    }
    // The picture: region greys, softened by a 5 x 5 box, with texture and noise.
    std::vector<float> g(size_t(width) * size_t(height)), tmp(g.size());
    for (size_t i = 0; i < g.size(); ++i)
        g[i] = float(p.grey[p.region[i]]);
    for (int pass = 0; pass < 2; ++pass) {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                float s = 0;
                for (int32_t d = -2; d <= 2; ++d) {
                    const int32_t xx = pass == 0 ? std::clamp(x + d, 0, width - 1) : x;
                    const int32_t yy = pass == 1 ? std::clamp(y + d, 0, height - 1) : y;
                    s += g[size_t(yy) * size_t(width) + size_t(xx)];
                }
                tmp[size_t(y) * size_t(width) + size_t(x)] = s / 5;
            }
        std::swap(g, tmp);
    }
    std::normal_distribution<float> noise(0.0f, 3.0f);
    p.raster = newdib(width, height, 24, nullptr, 0);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t *row = PictureRow(p.raster, y);
        for (int32_t x = 0; x < width; ++x) {
            const float texture = 2.5f * std::sin(x * 0.9f) * std::sin(y * 1.1f);
            const auto v = uint8_t(std::clamp(
                std::lround(g[size_t(y) * size_t(width) + size_t(x)] + texture + noise(rng)), 0L,
                255L));
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
        }
    }
    // A scribble per region, where a person would put it: a short line through the point
    // of the region farthest from its border (of a few hundred tried), kept clear of the
    // border by 12 pixels beyond its radius, and shorter where the region is narrow.
    const int32_t radius = std::max(3, std::max(width, height) / 400);
    const int32_t length = std::max(20, std::max(width, height) / 60);
    auto inRegion = [&](int32_t x, int32_t y, uint16_t k) {
        return x >= 0 && y >= 0 && x < width && y < height
               && p.region[size_t(y) * size_t(width) + size_t(x)] == k;
    };
    auto clearance = [&](int32_t x, int32_t y, uint16_t k) {
        // The shortest of eight rays from (x, y) that stay in the region.
        int32_t shortest = INT32_MAX;
        for (int32_t dy = -1; dy <= 1; ++dy)
            for (int32_t dx = -1; dx <= 1; ++dx) {
                if (dx == 0 && dy == 0)
                    continue;
                int32_t n = 0;
                while (n < shortest && inRegion(x + dx * (n + 1), y + dy * (n + 1), k))
                    ++n;
                shortest = std::min(shortest, n);
            }
        return shortest;
    };
    for (int32_t k = 0; k < regions; ++k) {
        int32_t bestX = 0, bestY = 0, best = -1;
        for (int tries = 0; tries < 20000 && best < 0; ++tries) {
            const auto x = int32_t(uniform(0, width)), y = int32_t(uniform(0, height));
            if (inRegion(x, y, uint16_t(k))) {
                bestX = x, bestY = y, best = 0;
            }
        }
        if (best < 0)
            continue;
        for (int tries = 0; tries < 300; ++tries) {
            const auto x = int32_t(uniform(0, width)), y = int32_t(uniform(0, height));
            if (!inRegion(x, y, uint16_t(k)))
                continue;
            const int32_t c = clearance(x, y, uint16_t(k));
            if (c > best) {
                best = c;
                bestX = x;
                bestY = y;
            }
        }
        // Shorter, down to a dot, where the region is narrow.
        const int32_t half = std::min(length / 2, best - radius - 12);
        if (half < 0)
            continue; // no room for a scribble at all
        const double a = uniform(0, 6.283);
        const auto dx = int32_t(half * std::cos(a)), dy = int32_t(half * std::sin(a));
        p.scribbles.push_back(
            {bestX - dx, bestY - dy, bestX + dx, bestY + dy, radius, uint16_t(k)});
    }
    return p;
}

} // namespace synthetic
