// SPDX-License-Identifier: GPL-3.0-or-later
// How hard it is for a stroke's colour to spread across each pixel of the picture as
// opened: 1 in flat and softly shaded areas, rising steeply where the grey changes more
// than noise and fine texture do, and a wall on a clear edge.
//
// The rule, in integers. g is each pixel's GreyValue. s is g smoothed by the 3 x 3
// kernel [1 2 1] x [1 2 1] (the sum, 16 times the mean; pixels beyond the picture repeat
// the nearest one). Across and down, the change over 2 kSpan pixels is
//   gx = s(x + kSpan, y) - s(x - kSpan, y),  gy = s(x, y + kSpan) - s(x, y - kSpan)
// (again repeating the outermost pixels), so an edge softened over several pixels
// counts in full, and G = max(|gx|, |gy|). Then
//   cost = 1 + max(0, G - kFlat)^2 / kSoftness    (truncating)
// so a change of up to kFlat / 16 levels across the span (noise, texture, shading)
// costs nothing extra. A cost above kHighest (a change of about 8 levels or more) makes
// the pixel a wall, which the spread does not cross. A wall takes its colour from the
// nearest pixel that is no wall along the way its grey changes most (x where
// |gx| >= |gy|, else y), at most kWallReach pixels off, the one before it (left or
// above) on a tie; the map stores that as a signed offset (WallOffset).
#pragma once

#include "platform/rastix/Rastix.h"

#include <cstdint>
#include <vector>

namespace colour {

class EdgeCost {
public:
    static constexpr int32_t kSpan = 3;
    static constexpr int32_t kFlat = 80;
    static constexpr int32_t kSoftness = 16;
    static constexpr uint8_t kHighest = 127;
    static constexpr int32_t kWallReach = 31;

    EdgeCost() = default;
    // Throws std::bad_alloc when there is no memory for the map. A source that is not a
    // 24-bit raster with pixels gives an empty map.
    explicit EdgeCost(const RasterImage &source);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool Empty() const { return cost_.empty(); }
    // The map has a border of one pixel of cost 0 (no way through) on every side, so a
    // walk over it needs no other bounds test: the cost of pixel (x, y) is at
    // Data()[Index(x, y)], for x in -1..width and y in -1..height.
    size_t Stride() const { return size_t(width_) + 2; }
    size_t Index(int32_t x, int32_t y) const { return size_t(y + 1) * Stride() + size_t(x + 1); }
    const uint8_t *Data() const { return cost_.data(); }
    // The pixels of the map, border included.
    size_t Count() const { return cost_.size(); }
    const uint8_t *Row(int32_t y) const { return cost_.data() + Index(0, y); }

    // The cost for a gradient G as above, kWall when it is a wall.
    static constexpr uint8_t kWall = 128;
    static constexpr uint8_t CostOf(int32_t gradient)
    {
        const int32_t over = gradient > kFlat ? gradient - kFlat : 0;
        const int32_t cost = over >= 1 << 15 ? kWall : 1 + (over * over) / kSoftness;
        return cost <= kHighest ? uint8_t(cost) : kWall;
    }

    // A wall's byte in the map: kWall + 64 for a wall along y, plus 32 + the offset (in
    // -31..31) of the pixel it takes its colour from; offset 0 where there is none.
    static constexpr bool IsWall(uint8_t cost) { return cost >= kWall; }
    static constexpr bool WallAlongX(uint8_t cost) { return (cost & 64) == 0; }
    static constexpr int32_t WallOffset(uint8_t cost) { return int32_t(cost & 63) - 32; }

private:
    int32_t width_ = 0, height_ = 0;
    std::vector<uint8_t> cost_;
};

} // namespace colour
