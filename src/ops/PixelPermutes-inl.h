// SPDX-License-Identifier: GPL-3.0-or-later
// 64 pixels of blue-green-red bytes (192 bytes, three AVX-512 registers) taken apart
// into one register per channel and put together again with the byte permutes of
// AVX-512 VBMI, two per register either way. Included by the operations inside their
// per-target namespace; defines nothing for other targets. (Highway's own interleaved
// loads and stores do the same with several times as many instructions.)
//
// Per-target include guard: foreach_target includes the file once for every target.
#if defined(OPS_PIXEL_PERMUTES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef OPS_PIXEL_PERMUTES_INL_H_
#undef OPS_PIXEL_PERMUTES_INL_H_
#else
#define OPS_PIXEL_PERMUTES_INL_H_
#endif

#include <hwy/highway.h>

#include <cstdint>

HWY_BEFORE_NAMESPACE();
namespace ops {
namespace HWY_NAMESPACE {

#if HWY_TARGET == HWY_AVX3_DL
struct PixelPermuteTables {
    // Gather[c]: lane k of channel c is byte 3 k + c of the 192; the first permute takes
    // bytes 0..127 from the first two registers, the second those from 128 on.
    uint8_t Gather[3][2][64];
    // Scatter[o]: byte j of output register o is channel (64 o + j) mod 3 of pixel
    // (64 o + j) div 3; the first permute takes blue and green, the second red.
    uint8_t Scatter[3][2][64];
    // Spread[o]: byte j of output register o is lane (64 o + j) div 3 of one register,
    // for a pixel whose three channels are equal.
    uint8_t Spread[3][64];
};

constexpr PixelPermuteTables MakePixelPermuteTables()
{
    PixelPermuteTables t{};
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 64; ++k) {
            const int at = 3 * k + c;
            t.Gather[c][0][k] = uint8_t(at < 128 ? at : 0);
            t.Gather[c][1][k] = uint8_t(at < 128 ? k : 64 + at - 128);
        }
    for (int o = 0; o < 3; ++o)
        for (int j = 0; j < 64; ++j) {
            const int pixel = (64 * o + j) / 3, channel = (64 * o + j) % 3;
            t.Scatter[o][0][j] = uint8_t(channel == 0 ? pixel : channel == 1 ? 64 + pixel : 0);
            t.Scatter[o][1][j] = uint8_t(channel == 2 ? 64 + pixel : j);
            t.Spread[o][j] = uint8_t(pixel);
        }
    return t;
}

alignas(64) inline constexpr PixelPermuteTables kPixelPermuteTables = MakePixelPermuteTables();

// The tables in registers, loaded once per row.
struct PixelPermutes {
    __m512i Gather[3][2], Scatter[3][2], Spread[3];
    PixelPermutes()
    {
        for (int i = 0; i < 3; ++i) {
            for (int step = 0; step < 2; ++step) {
                Gather[i][step] = _mm512_load_si512(kPixelPermuteTables.Gather[i][step]);
                Scatter[i][step] = _mm512_load_si512(kPixelPermuteTables.Scatter[i][step]);
            }
            Spread[i] = _mm512_load_si512(kPixelPermuteTables.Spread[i]);
        }
    }
};

struct Channels {
    __m512i Blue, Green, Red;
};

HWY_INLINE Channels LoadPixels(const uint8_t *p, const PixelPermutes &t)
{
    const __m512i a = _mm512_loadu_si512(p), b = _mm512_loadu_si512(p + 64),
                  c = _mm512_loadu_si512(p + 128);
    auto channel = [&](int ch) {
        return _mm512_permutex2var_epi8(_mm512_permutex2var_epi8(a, t.Gather[ch][0], b),
                                        t.Gather[ch][1], c);
    };
    return {channel(0), channel(1), channel(2)};
}

HWY_INLINE void StorePixels(uint8_t *p, const Channels &v, const PixelPermutes &t)
{
    for (int o = 0; o < 3; ++o) {
        const __m512i blueGreen = _mm512_permutex2var_epi8(v.Blue, t.Scatter[o][0], v.Green);
        _mm512_storeu_si512(p + 64 * o,
                            _mm512_permutex2var_epi8(blueGreen, t.Scatter[o][1], v.Red));
    }
}

// 64 grey pixels: every channel byte of pixel k becomes lane k of grey.
HWY_INLINE void StoreGreyPixels(uint8_t *p, __m512i grey, const PixelPermutes &t)
{
    for (int o = 0; o < 3; ++o)
        _mm512_storeu_si512(p + 64 * o, _mm512_permutexvar_epi8(t.Spread[o], grey));
}
#endif

} // namespace HWY_NAMESPACE
} // namespace ops
HWY_AFTER_NAMESPACE();

#endif // per-target include guard
