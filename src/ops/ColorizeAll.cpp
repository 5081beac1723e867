// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/ColorizeAll.h"

#include "colour/GreyColourTable.h"

#include <algorithm>
#include <bit>
#include <cstring>

// Packed colours are stored with one 4-byte store: blue must be the low byte in memory.
static_assert(std::endian::native == std::endian::little);

// The row kernel below is compiled once for each vector instruction set; Highway's
// foreach_target includes this file again for every one of them.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "ops/ColorizeAll.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

#include "ops/PixelPermutes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace ops {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Pixels first..count - 1 of a row, one at a time through the two tables. Each pixel is
// read before it is written, so in may equal out.
HWY_INLINE void ColourPixels(const uint8_t *in, uint8_t *out, size_t first, size_t count,
                             const colour::GreyTerms &terms, const colour::GreyColourTable &colours)
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

HWY_INLINE void ColourVector(const uint8_t *in, uint8_t *out, const PixelPermutes &t,
                             const Table256 (&tables)[6])
{
    const Channels pixels = LoadPixels(in, t);
    const __m512i grey = _mm512_add_epi8(
        _mm512_add_epi8(tables[0](pixels.Blue), tables[1](pixels.Green)), tables[2](pixels.Red));
    StorePixels(out, {tables[3](grey), tables[4](grey), tables[5](grey)}, t);
}

// One row, 64 pixels at a time: the grey value is the sum of three looked-up terms
// (at most 254, so the byte sums cannot wrap), then three more lookups give the colour.
// The pixels before the first and after the last whole vector are done by one vector
// each that overlaps pixels already written, with the same bytes again, unless in is
// out: then the vectors start at the first pixel and the last pixels are done one by
// one, each vector of pixels being loaded before it is stored.
void ColourRow(const uint8_t *in, uint8_t *out, size_t width, const colour::GreyTerms &terms,
               const colour::GreyColourTable &colours)
{
    if (width < 64) {
        ColourPixels(in, out, 0, width, terms, colours);
        return;
    }
    const PixelPermutes t;
    const Table256 tables[6] = {Table256(terms.Blue.data()),    Table256(terms.Green.data()),
                                Table256(terms.Red.data()),     Table256(colours.Blue.data()),
                                Table256(colours.Green.data()), Table256(colours.Red.data())};
    // Whole vectors from the first pixel whose bytes start a cache line of out, so that
    // no store is split over two lines (which costs a quarter of the speed on large
    // pictures); the pixels before it are done by one more vector, overlapping. Pixel x
    // starts a line when 3 x = d modulo 64, d being out's distance to the next line
    // boundary; 3 x 43 = 129, so x = 43 d modulo 64.
    size_t x = 0;
    if (in != out) {
        const size_t toLine = size_t(-reinterpret_cast<uintptr_t>(out)) & 63;
        x = (toLine * 43) & 63;
        if (x != 0)
            ColourVector(in, out, t, tables);
    }
    for (; x + 64 <= width; x += 64)
        ColourVector(in + 3 * x, out + 3 * x, t, tables);
    if (x == width)
        return;
    if (in != out)
        ColourVector(in + 3 * (width - 64), out + 3 * (width - 64), t, tables);
    else
        ColourPixels(in, out, x, width, terms, colours);
}
#else
// Other instruction sets have no byte lookup over 256 entries that beats a table read
// one pixel at a time, but the grey values are cheaper computed than looked up: for
// each term up to 255 x 59, (x x 41944) >> 22 equals x div 100. A chunk of pixels gets
// its grey values first, then each pixel its colour with one 4-byte store whose fourth
// byte the next pixel of the chunk overwrites; the chunk's last pixel is written byte
// by byte, so nothing beyond the chunk is touched (in may equal out).
using D16 = hn::ScalableTag<uint16_t>;
using D8 = hn::Rebind<uint8_t, D16>;
using DI16 = hn::Rebind<int16_t, D16>;

HWY_INLINE void GreyValues(const uint8_t *in, uint8_t *greys)
{
    const D16 d16;
    const D8 d8;
    hn::Vec<D8> blue, green, red;
    hn::LoadInterleaved3(d8, in, blue, green, red);
    auto term = [&](hn::Vec<D8> v, uint16_t weight) {
        return hn::ShiftRight<6>(hn::MulHigh(hn::Mul(hn::PromoteTo(d16, v), hn::Set(d16, weight)),
                                             hn::Set(d16, uint16_t(41944))));
    };
    const auto grey = hn::Add(hn::Add(term(red, 30), term(green, 59)), term(blue, 11));
    hn::StoreU(hn::DemoteTo(d8, hn::BitCast(DI16(), grey)), d8, greys);
}

void ColourRow(const uint8_t *in, uint8_t *out, size_t width, const colour::GreyTerms &terms,
               const colour::GreyColourTable &colours)
{
    const size_t lanes = hn::Lanes(D16());
    if (lanes == 1) { // the one-lane fallback target: tables are faster
        ColourPixels(in, out, 0, width, terms, colours);
        return;
    }
    constexpr size_t kChunk = 256;
    uint8_t greys[kChunk];
    for (size_t first = 0; first < width; first += kChunk) {
        const size_t count = std::min(kChunk, width - first);
        const uint8_t *from = in + 3 * first;
        if (count < lanes) {
            for (size_t i = 0; i < count; ++i) {
                const uint8_t *s = from + 3 * i;
                greys[i] = uint8_t(terms.Blue[s[0]] + terms.Green[s[1]] + terms.Red[s[2]]);
            }
        } else {
            for (size_t i = 0; i < count; i += lanes)
                GreyValues(from + 3 * std::min(i, count - lanes),
                           greys + std::min(i, count - lanes));
        }
        uint8_t *to = out + 3 * first;
        for (size_t i = 0; i + 1 < count; ++i)
            std::memcpy(to + 3 * i, &colours.Packed[greys[i]], 4);
        const size_t last = count - 1;
        to[3 * last] = colours.Blue[greys[last]];
        to[3 * last + 1] = colours.Green[greys[last]];
        to[3 * last + 2] = colours.Red[greys[last]];
    }
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
    ColorizeAll(source, work, colour::Paint{hue, saturation, brightness}, colorize);
}

void ColorizeAll(const RasterImage &source, const RasterImage &work, const colour::Paint &paint,
                 bool colorize)
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
    const colour::GreyTerms &terms = colour::GreyTermTable();
    const colour::GreyColourTable colours =
        colorize ? colour::MakeGreyColourTable(paint) : colour::GreyColourTable{};
    // Dispatched afresh for every row: the first call of all only makes the choice,
    // and a pointer kept from before it would make every row choose again.
    // The rows are walked up from the bottom picture row, in memory order, which is
    // faster on large pictures and changes no byte.
    for (int32_t y = height - 1; y >= 0; --y) {
        const uint8_t *in = PictureRow(source, y);
        uint8_t *out = PictureRow(work, y);
        if (colorize)
            HWY_DYNAMIC_DISPATCH(ColourRow)(in, out, size_t(width), terms, colours);
        else
            std::memmove(out, in, 3 * size_t(width));
    }
}

} // namespace ops
#endif // HWY_ONCE
