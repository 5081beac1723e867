// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/ApplyFilter.h"

#include <algorithm>
#include <cstring>

namespace ops {

bool Filterable(const RasterImage &raster)
{
    return RasterColourCount(raster) > 256 && RasterBitCount(raster) == 24 && raster.Pixels
           && RasterWidth(raster) > 0 && RasterHeight(raster) > 0;
}

namespace {

void Report(const document::ProgressSink &progress, int32_t percent)
{
    if (progress)
        progress(percent);
}

// One output value from its 32-bit sum: sum div Divisor + Bias, clamped. The division
// truncates toward zero; INT32_MIN div -1 wraps to INT32_MIN as the processor's
// arithmetic would, instead of trapping.
uint8_t KernelValue(uint32_t sum, const FilterKernel &kernel)
{
    const int32_t total = int32_t(sum);
    const int32_t quotient =
        kernel.Divisor == -1 ? int32_t(0u - uint32_t(total)) : total / kernel.Divisor;
    const int32_t value = int32_t(uint32_t(quotient) + uint32_t(kernel.Bias));
    return uint8_t(std::clamp(value, 0, 255));
}

FilterResult Filter(const RasterImage &raster, const FilterKernel &kernel,
                    const document::ProgressSink &progress, const document::RasterLibrary &library)
{
    if (!Filterable(raster) || kernel.Divisor == 0)
        return FilterResult::NotFiltered;
    Report(progress, 0);

    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    const RasterImage scratch = library.New(width + 4, height + 4, 24);
    if (!document::RasterExists(scratch) || RasterWidth(scratch) != width + 4
        || RasterHeight(scratch) != height + 4 || RasterBitCount(scratch) != 24) {
        if (scratch.Storage != 0)
            library.Delete(scratch);
        return FilterResult::OutOfMemory;
    }
    const size_t stride = size_t(raster.Stride);
    const size_t scratchStride = size_t(scratch.Stride);
    auto scratchRow = [&](int32_t stored) { return scratch.Pixels + scratchStride * stored; };

    // The picture into scratch pixels 2..W + 1 of stored rows 2..H + 1, whole stored
    // rows with their padding (which the border columns then overwrite).
    for (int32_t s = 0; s < height; ++s) {
        Report(progress, document::RowProgress(s, height));
        std::memcpy(scratchRow(s + 2) + 6, raster.Pixels + stride * s, stride);
    }
    // Border rows, then border columns in every row (so the corners repeat the corner
    // pixels).
    std::memcpy(scratchRow(0), scratchRow(2), scratchStride);
    std::memcpy(scratchRow(1), scratchRow(2), scratchStride);
    std::memcpy(scratchRow(height + 2), scratchRow(height + 1), scratchStride);
    std::memcpy(scratchRow(height + 3), scratchRow(height + 1), scratchStride);
    for (int32_t s = 0; s < height + 4; ++s) {
        uint8_t *row = scratchRow(s);
        std::memcpy(row + 0, row + 6, 3);
        std::memcpy(row + 3, row + 6, 3);
        std::memcpy(row + 3 * (width + 2), row + 3 * (width + 1), 3);
        std::memcpy(row + 3 * (width + 3), row + 3 * (width + 1), 3);
    }

    // Output row i reads scratch rows i..i + 4 from the top, which are stored rows
    // H + 3 - i down to H - 1 - i; only the scratch copy is read.
    for (int32_t i = 0; i < height; ++i) {
        Report(progress, document::RowProgress(i, height));
        uint8_t *out = PictureRow(raster, i);
        for (int32_t x = 0; x < width; ++x) {
            for (int32_t channel = 0; channel < 3; ++channel) {
                uint32_t sum = 0;
                for (int32_t r = 0; r < 5; ++r) {
                    const uint8_t *in = scratchRow(height + 3 - i - r) + channel;
                    for (int32_t c = 0; c < 5; ++c)
                        sum += uint32_t(kernel.Weights[r][c]) * in[3 * (x + c)];
                }
                out[3 * x + channel] = KernelValue(sum, kernel);
            }
        }
    }
    library.Delete(scratch);
    return FilterResult::Filtered;
}

} // namespace

FilterResult ApplyFilter(const RasterImage &raster, const FilterKernel &kernel,
                         const document::ProgressSink &progress,
                         const document::RasterLibrary &library)
{
    Report(progress, 0);
    const FilterResult result = Filter(raster, kernel, progress, library);
    Report(progress, 0);
    return result;
}

} // namespace ops
