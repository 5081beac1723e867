// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/ColorizeAll.h"

#include "view/GreyColourTable.h"

#include <algorithm>
#include <cstring>

// The row kernel below is compiled once for each vector instruction set; Highway's
// foreach_target includes this file again for every one of them.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "ops/ColorizeAll.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace ops {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Pixels first..count - 1 of a row, one at a time through the two tables. Each pixel is
// read before it is written, so in may equal out.
HWY_INLINE void ColourPixels(const uint8_t *in, uint8_t *out, size_t first, size_t count,
                             const view::GreyTerms &terms, const view::GreyColourTable &colours)
{
    for (size_t x = first; x < count; ++x) {
        const uint8_t *s = in + 3 * x;
        const size_t grey = size_t(terms.Blue[s[0]] + terms.Green[s[1]] + terms.Red[s[2]]);
        uint8_t *d = out + 3 * x;
        d[0] = colours.Blue[grey];
        d[1] = colours.Green[grey];
        d[2] = colours.Red[grey];
    }
}

#if HWY_TARGET == HWY_AVX3_DL
// With the byte permutes of AVX-512 VBMI a 256-entry byte table sits in four registers
// and 64 lookups take three instructions: two 128-entry permutes, and bit 7 of the
// index picking between them.
struct Table256 {
    __m512i Quarter[4];
    explicit Table256(const uint8_t *table)
    {
        for (int i = 0; i < 4; ++i)
            Quarter[i] = _mm512_loadu_si512(table + 64 * i);
    }
    __m512i operator()(__m512i index) const
    {
        const __m512i low = _mm512_permutex2var_epi8(Quarter[0], index, Quarter[1]);
        const __m512i high = _mm512_permutex2var_epi8(Quarter[2], index, Quarter[3]);
        return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
    }
};

// One row, 64 pixels at a time: the grey value is the sum of three looked-up terms
// (at most 254, so the byte sums cannot wrap), then three more lookups give the colour.
// Each vector of pixels is loaded before it is stored, so in may equal out.
void ColourRow(const uint8_t *in, uint8_t *out, size_t width, const view::GreyTerms &terms,
               const view::GreyColourTable &colours)
{
    const hn::Full512<uint8_t> d8;
    const Table256 termBlue(terms.Blue.data()), termGreen(terms.Green.data()),
        termRed(terms.Red.data());
    const Table256 toBlue(colours.Blue.data()), toGreen(colours.Green.data()),
        toRed(colours.Red.data());
    const size_t lanes = hn::Lanes(d8);
    size_t x = 0;
    for (; x + lanes <= width; x += lanes) {
        hn::Vec<decltype(d8)> blue, green, red;
        hn::LoadInterleaved3(d8, in + 3 * x, blue, green, red);
        const __m512i grey = _mm512_add_epi8(
            _mm512_add_epi8(termBlue(blue.raw), termGreen(green.raw)), termRed(red.raw));
        const hn::Vec<decltype(d8)> b{toBlue(grey)}, g{toGreen(grey)}, r{toRed(grey)};
        hn::StoreInterleaved3(b, g, r, d8, out + 3 * x);
    }
    ColourPixels(in, out, x, width, terms, colours);
}
#else
// Other instruction sets have no byte lookup over 256 entries that beats the tables
// read one pixel at a time.
void ColourRow(const uint8_t *in, uint8_t *out, size_t width, const view::GreyTerms &terms,
               const view::GreyColourTable &colours)
{
    ColourPixels(in, out, 0, width, terms, colours);
}
#endif

} // namespace HWY_NAMESPACE
} // namespace ops
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace ops {

HWY_EXPORT(ColourRow);

void ColorizeAll(const RasterImage &source, const RasterImage &work, int32_t hue,
                 int32_t saturation, int32_t brightness, bool colorize)
{
    if (RasterBitCount(source) != 24 || RasterBitCount(work) != 24 || !source.Pixels
        || !work.Pixels)
        return;
    const int32_t sourceHeight = RasterHeight(source);
    const int32_t workHeight = RasterHeight(work);
    // DoPix drops positions outside either raster.
    const int32_t width = std::min(RasterWidth(source), RasterWidth(work));
    const int32_t height = std::min(sourceHeight, workHeight);
    if (width <= 0)
        return;
    const view::GreyTerms &terms = view::GreyTermTable();
    const view::GreyColourTable colours =
        colorize ? view::MakeGreyColourTable(hue, saturation, brightness) : view::GreyColourTable{};
    // Dispatched afresh for every row: the first call of all only makes the choice,
    // and a pointer kept from before it would make every row choose again.
    // Picture row y is source row sourceHeight - 1 - y and work row workHeight - 1 - y;
    // the rows are walked up from the bottom picture row, in memory order, which is
    // faster on large pictures and changes no byte.
    for (int32_t y = height - 1; y >= 0; --y) {
        const uint8_t *in = source.Pixels + size_t(source.Stride) * size_t(sourceHeight - 1 - y);
        uint8_t *out = work.Pixels + size_t(work.Stride) * size_t(workHeight - 1 - y);
        if (colorize)
            HWY_DYNAMIC_DISPATCH(ColourRow)(in, out, size_t(width), terms, colours);
        else
            std::memmove(out, in, 3 * size_t(width));
    }
}

} // namespace ops
#endif // HWY_ONCE
