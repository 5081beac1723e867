// SPDX-License-Identifier: GPL-3.0-or-later
// Test rasters for the brush and pixel tests: 24-bit rasters made with newdib, filled
// with a deterministic pattern, released with the fixture.
#pragma once

#include "platform/rastix/Rastix.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace viewtest {

// Owns one 24-bit raster.
class OwnedRaster {
public:
    OwnedRaster(int32_t width, int32_t height) : raster_(newdib(width, height, 24, nullptr, 0)) {}
    ~OwnedRaster() { deldib(raster_); }
    OwnedRaster(const OwnedRaster &) = delete;
    OwnedRaster &operator=(const OwnedRaster &) = delete;

    const RasterImage &get() const { return raster_; }
    size_t Bytes() const { return size_t(raster_.Stride) * size_t(RasterHeight(raster_)); }
    std::vector<uint8_t> Copy() const
    {
        return std::vector<uint8_t>(raster_.Pixels, raster_.Pixels + Bytes());
    }
    void Assign(const std::vector<uint8_t> &bytes)
    {
        std::memcpy(raster_.Pixels, bytes.data(), Bytes());
    }
    // Every byte, padding included, from a seeded generator.
    void FillRandom(uint32_t seed)
    {
        std::mt19937 gen(seed);
        for (size_t i = 0; i < Bytes(); ++i)
            raster_.Pixels[i] = uint8_t(gen());
    }
    // Pixel (x, y), rows from the top: blue, green, red.
    uint8_t *At(int32_t x, int32_t y) const { return PictureRow(raster_, y) + 3 * ptrdiff_t(x); }

private:
    RasterImage raster_;
};

} // namespace viewtest
