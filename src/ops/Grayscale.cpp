// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/Grayscale.h"

#include <cstdint>

// The row kernel below is compiled once for each vector instruction set; Highway's
// foreach_target includes this file again for every one of them.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "ops/Grayscale.cpp"
#include <hwy/cache_control.h>
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

#include "ops/PixelPermutes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace ops {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Prefetching this far ahead of the row being done keeps main memory busy; the
// processor's own prefetching, alone, leaves a large picture's pass well short of the
// speed of a plain copy. A prefetch never faults, so the address may lie past the row.
constexpr uintptr_t kPrefetchAhead = 2048;

HWY_INLINE void PrefetchAhead(const uint8_t *p)
{
    hwy::Prefetch(
        reinterpret_cast<const uint8_t *>(reinterpret_cast<uintptr_t>(p) + kPrefetchAhead));
}

HWY_INLINE uint8_t GreyOf(const uint8_t *p)
{
    return uint8_t((30 * p[2] + 59 * p[1] + 11 * p[0]) / 100);
}

#if HWY_TARGET == HWY_AVX3_DL
// AVX-512 VBMI: the 64 pixels at p, taken apart into channels and the grey values
// spread back by byte permutes (ops/PixelPermutes-inl.h). The weighted sums are taken
// as 16-bit values, blue and green together by a multiply-add of byte pairs; for sums
// up to 25500, (x x 41944) >> 22 equals x div 100.
HWY_INLINE void GreyVector(uint8_t *p, const PixelPermutes &t)
{
    const Channels in = LoadPixels(p, t);
    const __m512i blueGreenWeights = _mm512_set1_epi16(int16_t(59 << 8 | 11));
    const __m512i redWeight = _mm512_set1_epi16(30);
    const __m512i hundredth = _mm512_set1_epi16(int16_t(41944));
    const __m512i zero = _mm512_setzero_si512();
    // Unpacking and packing again keep the lane order within each 128-bit block.
    auto grey16 = [&](__m512i blueGreen, __m512i red16) {
        const __m512i sum = _mm512_add_epi16(_mm512_maddubs_epi16(blueGreen, blueGreenWeights),
                                             _mm512_mullo_epi16(red16, redWeight));
        return _mm512_srli_epi16(_mm512_mulhi_epu16(sum, hundredth), 6);
    };
    const __m512i low =
        grey16(_mm512_unpacklo_epi8(in.Blue, in.Green), _mm512_unpacklo_epi8(in.Red, zero));
    const __m512i high =
        grey16(_mm512_unpackhi_epi8(in.Blue, in.Green), _mm512_unpackhi_epi8(in.Red, zero));
    StoreGreyPixels(p, _mm512_packus_epi16(low, high), t);
}

// Every pixel of one row of width pixels, in place. Whole vectors from the first
// pixel whose bytes start a cache line, so that no store is split over two lines; the
// pixels before it and after the last whole vector are done by one vector each that
// overlaps pixels already grey, which stay as they are.
void GreyRow(uint8_t *HWY_RESTRICT row, size_t width)
{
    if (width < 64) {
        for (size_t x = 0; x < width; ++x) {
            uint8_t *p = row + 3 * x;
            p[0] = p[1] = p[2] = GreyOf(p);
        }
        return;
    }
    const PixelPermutes t;
    // 3 x 43 = 129, so 43 is the inverse of 3 modulo 64: pixel x starts a line when
    // 3 x is the row's distance to the next line boundary, modulo 64.
    const size_t toLine = size_t(-reinterpret_cast<uintptr_t>(row)) & 63;
    size_t x = (toLine * 43) & 63;
    if (x != 0)
        GreyVector(row, t);
    for (; x + 64 <= width; x += 64) {
        PrefetchAhead(row + 3 * x);
        PrefetchAhead(row + 3 * x + 64);
        PrefetchAhead(row + 3 * x + 128);
        GreyVector(row + 3 * x, t);
    }
    if (x < width)
        GreyVector(row + 3 * (width - 64), t);
}
#else
using D16 = hn::ScalableTag<uint16_t>;
using D8 = hn::Rebind<uint8_t, D16>;
using DI16 = hn::Rebind<int16_t, D16>;

// One vector of pixels starting at pixel x. The weighted sum is at most 25500 and fits
// 16 bits; for such x, (x x 41944) >> 22 equals x div 100.
HWY_INLINE void GreyPixels(uint8_t *HWY_RESTRICT row, size_t x)
{
    const D16 d16;
    const D8 d8;
    const DI16 di16;
    hn::Vec<D8> blue, green, red;
    hn::LoadInterleaved3(d8, row + 3 * x, blue, green, red);
    const auto sum =
        hn::Add(hn::Add(hn::Mul(hn::PromoteTo(d16, red), hn::Set(d16, uint16_t(30))),
                        hn::Mul(hn::PromoteTo(d16, green), hn::Set(d16, uint16_t(59)))),
                hn::Mul(hn::PromoteTo(d16, blue), hn::Set(d16, uint16_t(11))));
    const auto grey = hn::ShiftRight<6>(hn::MulHigh(sum, hn::Set(d16, uint16_t(41944))));
    const auto grey8 = hn::DemoteTo(d8, hn::BitCast(di16, grey));
    hn::StoreInterleaved3(grey8, grey8, grey8, d8, row + 3 * x);
}

// Every pixel of one row of width pixels, in place.
void GreyRow(uint8_t *HWY_RESTRICT row, size_t width)
{
    const size_t lanes = hn::Lanes(D16());
    size_t x = 0;
    for (; x + lanes <= width; x += lanes) {
        PrefetchAhead(row + 3 * x);
        GreyPixels(row, x);
    }
    if (x == width)
        return;
    if (width >= lanes) {
        // The last vector again, overlapping pixels already grey: they stay as they are.
        GreyPixels(row, width - lanes);
        return;
    }
    for (; x < width; ++x) {
        uint8_t *p = row + 3 * x;
        p[0] = p[1] = p[2] = GreyOf(p);
    }
}
#endif

} // namespace HWY_NAMESPACE
} // namespace ops
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace ops {

HWY_EXPORT(GreyRow);

void Grayscale(const RasterImage &raster, const document::ProgressSink &progress)
{
    auto report = [&](int32_t percent) {
        if (progress)
            progress(percent);
    };
    report(0);
    if (RasterBitCount(raster) == 24 && raster.Pixels) {
        const int32_t width = RasterWidth(raster);
        const int32_t height = RasterHeight(raster);
        // Rows are walked in memory order, the bottom picture row first: a walk down
        // through memory is several times slower on large pictures, whose rows then
        // come from main memory without the processor fetching ahead. Every pixel is
        // done on its own, so the order changes no byte, and the k-th row walked
        // reports RowProgress(k, H), the values a walk from the top reports.
        for (int32_t k = 0; k < height; ++k) {
            report(document::RowProgress(k, height));
            // Dispatched afresh for every row: the first call of all only makes the
            // choice, and a pointer kept from before it would make every row choose.
            HWY_DYNAMIC_DISPATCH(GreyRow)
            (raster.Pixels + size_t(raster.Stride) * size_t(k), size_t(width));
        }
    }
    report(0);
}

} // namespace ops
#endif // HWY_ONCE
