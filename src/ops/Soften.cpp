// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/Soften.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

// The row kernels below are compiled once for each vector instruction set; Highway's
// foreach_target includes this file again for every one of them.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "ops/Soften.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace ops {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_AVX3 || HWY_TARGET == HWY_AVX3_DL
// AVX-512, 64 channel bytes at a time without widening them: the bytes at even and at
// odd positions are summed down the three rows in separate 16-bit lanes, by masking
// and shifting. For the byte in even lane i the bytes 3 to its left and right lie in
// odd lanes i - 2 and i + 1; for the byte in odd lane i, in even lanes i - 1 and i + 2.
// Four lane shifts across the neighbouring vectors bring them in line.
struct DownSums {
    __m512i Even, Odd;
};

HWY_INLINE DownSums SumDown(const uint8_t *up, const uint8_t *mid, const uint8_t *down)
{
    const __m512i low = _mm512_set1_epi16(0xff);
    const __m512i a = _mm512_loadu_si512(up), b = _mm512_loadu_si512(mid),
                  c = _mm512_loadu_si512(down);
    return {_mm512_add_epi16(_mm512_add_epi16(_mm512_and_si512(a, low), _mm512_and_si512(b, low)),
                             _mm512_and_si512(c, low)),
            _mm512_add_epi16(_mm512_add_epi16(_mm512_srli_epi16(a, 8), _mm512_srli_epi16(b, 8)),
                             _mm512_srli_epi16(c, 8))};
}

// One output row of bytes channel bytes from the three row copies (pointers at their
// first channel byte), reading up to 64 bytes before and 127 after them.
void SoftenRow(const uint8_t *up, const uint8_t *mid, const uint8_t *down,
               uint8_t *HWY_RESTRICT out, size_t bytes)
{
    alignas(64) uint16_t upOne[32], downOne[32];
    for (uint16_t i = 0; i < 32; ++i) {
        upOne[i] = uint16_t(i == 0 ? 31 : 32 + i - 1); // lane i takes lane i - 1
        downOne[i] = uint16_t(i == 31 ? 32 : i + 1);   // lane i takes lane i + 1
    }
    const __m512i shiftUpOne = _mm512_load_si512(upOne);
    const __m512i shiftDownOne = _mm512_load_si512(downOne);
    // Sums are at most 9 x 255 = 2295; below 32768, (x x 7282) >> 16 equals x div 9.
    const __m512i ninth = _mm512_set1_epi16(7282);
    DownSums before = SumDown(up - 64, mid - 64, down - 64);
    DownSums at = SumDown(up, mid, down);
    for (size_t j = 0; j < bytes; j += 64) {
        const DownSums after = SumDown(up + j + 64, mid + j + 64, down + j + 64);
        const __m512i even =
            _mm512_add_epi16(_mm512_add_epi16(at.Even, _mm512_alignr_epi32(at.Odd, before.Odd, 15)),
                             _mm512_permutex2var_epi16(at.Odd, shiftDownOne, after.Odd));
        const __m512i odd = _mm512_add_epi16(
            _mm512_add_epi16(at.Odd, _mm512_permutex2var_epi16(before.Even, shiftUpOne, at.Even)),
            _mm512_alignr_epi32(after.Even, at.Even, 1));
        const __m512i result = _mm512_or_si512(
            _mm512_mulhi_epu16(even, ninth), _mm512_slli_epi16(_mm512_mulhi_epu16(odd, ninth), 8));
        if (j + 64 <= bytes)
            _mm512_storeu_si512(out + j, result);
        else
            _mm512_mask_storeu_epi8(out + j, ~0ull >> (64 - (bytes - j)), result);
        before = at;
        at = after;
    }
}
#else
using D16 = hn::ScalableTag<uint16_t>;
using D8 = hn::Rebind<uint8_t, D16>;
using DI16 = hn::Rebind<int16_t, D16>;

// out[j] for one vector: the nine values div 9. Sums are at most 9 x 255 = 2295; below
// 32768, (x x 7282) >> 16 equals x div 9.
HWY_INLINE void SoftenVector(const uint8_t *up, const uint8_t *mid, const uint8_t *down,
                             uint8_t *HWY_RESTRICT out, size_t j)
{
    const D16 d16;
    const D8 d8;
    auto across = [&](const uint8_t *row) {
        return hn::Add(hn::Add(hn::PromoteTo(d16, hn::LoadU(d8, row + j - 3)),
                               hn::PromoteTo(d16, hn::LoadU(d8, row + j))),
                       hn::PromoteTo(d16, hn::LoadU(d8, row + j + 3)));
    };
    const auto sum = hn::Add(hn::Add(across(up), across(mid)), across(down));
    const auto result = hn::MulHigh(sum, hn::Set(d16, uint16_t(7282)));
    hn::StoreU(hn::DemoteTo(d8, hn::BitCast(DI16(), result)), d8, out + j);
}

// One output row of bytes channel bytes from the three row copies (pointers at their
// first channel byte); reads only the copies and their repeated pixels.
void SoftenRow(const uint8_t *up, const uint8_t *mid, const uint8_t *down,
               uint8_t *HWY_RESTRICT out, size_t bytes)
{
    const size_t lanes = hn::Lanes(D16());
    size_t j = 0;
    for (; j + lanes <= bytes; j += lanes) {
        SoftenVector(up, mid, down, out, j);
    }
    if (j == bytes)
        return;
    if (bytes >= lanes) {
        // The last vector again, overlapping bytes already written with equal values:
        // the input is the copies, not the output row.
        SoftenVector(up, mid, down, out, bytes - lanes);
        return;
    }
    for (; j < bytes; ++j) {
        int32_t sum = 0;
        for (const uint8_t *row : {up, mid, down})
            sum += row[j - 3] + row[j] + row[j + 3];
        out[j] = uint8_t(sum / 9);
    }
}
#endif

} // namespace HWY_NAMESPACE
} // namespace ops
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace ops {

HWY_EXPORT(SoftenRow);

namespace {

// A row copy in the rolling buffer: its 3 W channel bytes start kCopyOffset bytes into
// the buffer row, its first and last pixel are repeated once beside it, and the rest of
// the row is room that the vector code may read (never write) past both ends: 64
// bytes before the copy and 127 after it.
constexpr size_t kCopyOffset = 67;
constexpr int32_t kExtraPixels = 66; // 67 bytes before the copy, 131 after it

void Report(const document::ProgressSink &progress, int32_t percent)
{
    if (progress)
        progress(percent);
}

// Copies one stored row of bytes channel bytes to copy, with its first and last pixel
// repeated beside it.
void CopyRow(const uint8_t *row, uint8_t *copy, size_t bytes)
{
    std::memcpy(copy, row, bytes);
    std::memcpy(copy - 3, row, 3);
    std::memcpy(copy + bytes, row + bytes - 3, 3);
}

FilterResult SoftenRows(const RasterImage &raster, const document::ProgressSink &progress,
                        const document::RasterLibrary &library)
{
    if (!Filterable(raster))
        return FilterResult::NotFiltered;
    Report(progress, 0);

    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    const int32_t bufferWidth = width + kExtraPixels;
    const RasterImage buffer = library.New(bufferWidth, 3, 24);
    if (!document::RasterExists(buffer) || RasterWidth(buffer) != bufferWidth
        || RasterHeight(buffer) != 3 || RasterBitCount(buffer) != 24) {
        if (buffer.Storage != 0)
            library.Delete(buffer);
        return FilterResult::OutOfMemory;
    }
    const size_t bytes = 3 * size_t(width);
    auto copyOf = [&](int32_t row) {
        return buffer.Pixels + size_t(buffer.Stride) * size_t(row % 3) + kCopyOffset;
    };
    // The filter is the same upside down, so the rows are walked in memory order, the
    // bottom picture row first, which is several times faster on large pictures than
    // walking down through memory. The k-th row walked reports RowProgress(k, H), the
    // values a walk from the top reports.
    auto storedRow = [&](int32_t row) {
        return raster.Pixels + size_t(raster.Stride) * size_t(row);
    };

    // Row k is copied before it is overwritten, and the copy of row k - 1 is still in
    // the buffer, so every output row is made from unfiltered values only. Dispatched
    // afresh for every row: the first call of all only makes the choice, and a pointer
    // kept from before it would make every row choose again.
    CopyRow(storedRow(0), copyOf(0), bytes);
    for (int32_t k = 0; k < height; ++k) {
        Report(progress, document::RowProgress(k, height));
        if (k + 1 < height)
            CopyRow(storedRow(k + 1), copyOf(k + 1), bytes);
        HWY_DYNAMIC_DISPATCH(SoftenRow)
        (copyOf(std::max(k - 1, 0)), copyOf(k), copyOf(std::min(k + 1, height - 1)), storedRow(k),
         bytes);
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
