// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/Soften.h"

#include <algorithm>
#include <cstdint>

// The row kernels below are compiled once for each vector instruction set; Highway's
// foreach_target includes this file again for every one of them.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "ops/Soften.cpp"
#include <hwy/cache_control.h>
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace ops {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The picture rows come from main memory once each; prefetching this far ahead keeps
// it busy (the processor's own prefetching alone leaves the pass well short of a plain
// copy's speed). A prefetch never faults, so the address may lie past the row.
HWY_INLINE void PrefetchAhead(const uint8_t *p)
{
    hwy::Prefetch(reinterpret_cast<const uint8_t *>(reinterpret_cast<uintptr_t>(p) + 2048));
}

using D16 = hn::ScalableTag<uint16_t>;
using D8 = hn::Rebind<uint8_t, D16>;
using DI16 = hn::Rebind<int16_t, D16>;

// sums[j] = row[j - 3] + row[j] + row[j + 3] for one vector of channel bytes j.
HWY_INLINE void SumAcross(const uint8_t *HWY_RESTRICT row, uint16_t *HWY_RESTRICT sums, size_t j)
{
    const D16 d16;
    const D8 d8;
    const auto left = hn::PromoteTo(d16, hn::LoadU(d8, row + j - 3));
    const auto centre = hn::PromoteTo(d16, hn::LoadU(d8, row + j));
    const auto right = hn::PromoteTo(d16, hn::LoadU(d8, row + j + 3));
    hn::StoreU(hn::Add(hn::Add(left, centre), right), d16, sums + j);
}

// The across-sums of one picture row of width pixels (3 x width channel bytes), the
// first and last pixel standing in for their missing neighbours.
void SumRowAcross(const uint8_t *HWY_RESTRICT row, uint16_t *HWY_RESTRICT sums, size_t width)
{
    const size_t bytes = 3 * width;
    if (width == 1) {
        for (size_t c = 0; c < 3; ++c)
            sums[c] = uint16_t(3 * row[c]);
        return;
    }
    for (size_t c = 0; c < 3; ++c) {
        sums[c] = uint16_t(2 * row[c] + row[c + 3]);
        sums[bytes - 3 + c] = uint16_t(row[bytes - 6 + c] + 2 * row[bytes - 3 + c]);
    }
    // The inner bytes 3 .. bytes - 4 have both neighbours in the row.
    const size_t first = 3;
    const size_t end = bytes - 3;
    const size_t lanes = hn::Lanes(D16());
    size_t j = first;
    for (; j + lanes <= end; j += lanes) {
        PrefetchAhead(row + j);
        SumAcross(row, sums, j);
    }
    if (j == end)
        return;
    if (end - first >= lanes) {
        SumAcross(row, sums, end - lanes); // overlaps sums already written, same values
        return;
    }
    for (; j < end; ++j)
        sums[j] = uint16_t(row[j - 3] + row[j] + row[j + 3]);
}

// out[j] = (up[j] + mid[j] + down[j]) div 9 for one vector. The sums are at most
// 9 x 255 = 2295; below 32768, (x x 7282) >> 16 equals x div 9.
HWY_INLINE void DivideNine(const uint16_t *HWY_RESTRICT up, const uint16_t *HWY_RESTRICT mid,
                           const uint16_t *HWY_RESTRICT down, uint8_t *HWY_RESTRICT out, size_t j)
{
    const D16 d16;
    const D8 d8;
    const DI16 di16;
    const auto sum =
        hn::Add(hn::Add(hn::LoadU(d16, up + j), hn::LoadU(d16, mid + j)), hn::LoadU(d16, down + j));
    const auto ninth = hn::MulHigh(sum, hn::Set(d16, uint16_t(7282)));
    hn::StoreU(hn::DemoteTo(d8, hn::BitCast(di16, ninth)), d8, out + j);
}

// One output row of bytes channel bytes from the across-sums of the rows above, at and
// below it.
void DivideRowNine(const uint16_t *HWY_RESTRICT up, const uint16_t *HWY_RESTRICT mid,
                   const uint16_t *HWY_RESTRICT down, uint8_t *HWY_RESTRICT out, size_t bytes)
{
    const size_t lanes = hn::Lanes(D16());
    size_t j = 0;
    for (; j + lanes <= bytes; j += lanes)
        DivideNine(up, mid, down, out, j);
    if (j == bytes)
        return;
    if (bytes >= lanes) {
        DivideNine(up, mid, down, out, bytes - lanes); // rewrites equal bytes
        return;
    }
    for (; j < bytes; ++j)
        out[j] = uint8_t((up[j] + mid[j] + down[j]) / 9);
}

} // namespace HWY_NAMESPACE
} // namespace ops
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace ops {

HWY_EXPORT(SumRowAcross);
HWY_EXPORT(DivideRowNine);

namespace {

void Report(const document::ProgressSink &progress, int32_t percent)
{
    if (progress)
        progress(percent);
}

FilterResult SoftenRows(const RasterImage &raster, const document::ProgressSink &progress,
                        const document::RasterLibrary &library)
{
    if (RasterColourCount(raster) <= 256 || RasterBitCount(raster) != 24 || !raster.Pixels
        || RasterWidth(raster) <= 0 || RasterHeight(raster) <= 0)
        return FilterResult::NotFiltered;
    Report(progress, 0);

    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    const RasterImage buffer = library.New(2 * width, 3, 24);
    // Each buffer row holds 3 W sums of 16 bits; its stride is at least 6 W bytes and a
    // multiple of 4, so the rows are aligned for 16-bit values when the memory is.
    if (!document::RasterExists(buffer) || RasterWidth(buffer) != 2 * width
        || RasterHeight(buffer) != 3 || RasterBitCount(buffer) != 24
        || reinterpret_cast<uintptr_t>(buffer.Pixels) % alignof(uint16_t) != 0) {
        if (buffer.Storage != 0)
            library.Delete(buffer);
        return FilterResult::OutOfMemory;
    }
    auto sums = [&](int32_t row) {
        return reinterpret_cast<uint16_t *>(buffer.Pixels + size_t(buffer.Stride) * (row % 3));
    };
    // The filter is the same upside down, so the rows are walked in memory order, the
    // bottom picture row first, which is several times faster on large pictures than
    // walking down through memory. The k-th row walked reports RowProgress(k, H), the
    // values a walk from the top reports.
    auto storedRow = [&](int32_t row) {
        return raster.Pixels + size_t(raster.Stride) * size_t(row);
    };

    // Dispatched afresh for every row: the first call of all only makes the choice,
    // and a pointer kept from before it would make every row choose again.
    // Row k is overwritten only after the sums of rows k and k + 1 are taken, and the
    // sums of row k - 1 are still in the buffer: the output reads unfiltered values only.
    HWY_DYNAMIC_DISPATCH(SumRowAcross)(storedRow(0), sums(0), size_t(width));
    for (int32_t k = 0; k < height; ++k) {
        Report(progress, document::RowProgress(k, height));
        if (k + 1 < height)
            HWY_DYNAMIC_DISPATCH(SumRowAcross)(storedRow(k + 1), sums(k + 1), size_t(width));
        HWY_DYNAMIC_DISPATCH(DivideRowNine)
        (sums(std::max(k - 1, 0)), sums(k), sums(std::min(k + 1, height - 1)), storedRow(k),
         3 * size_t(width));
    }
    library.Delete(buffer);
    return FilterResult::Filtered;
}

} // namespace

FilterResult Soften(const RasterImage &raster, const document::ProgressSink &progress,
                    const document::RasterLibrary &library)
{
    Report(progress, 0);
    const FilterResult result = SoftenRows(raster, progress, library);
    Report(progress, 0);
    return result;
}

} // namespace ops
#endif // HWY_ONCE
