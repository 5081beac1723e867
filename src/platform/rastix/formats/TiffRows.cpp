// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/TiffRows.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace rastix {
namespace {

float HalfToFloat(uint16_t h)
{
    const int exponent = h >> 10 & 31;
    const int mantissa = h & 1023;
    float magnitude;
    if (exponent == 0)
        magnitude = std::ldexp(float(mantissa), -24);
    else if (exponent == 31)
        magnitude = mantissa ? NAN : INFINITY;
    else
        magnitude = std::ldexp(float(1024 + mantissa), exponent - 25);
    return h & 0x8000 ? -magnitude : magnitude;
}

// Composites v over white by alpha a, both 0..max.
inline unsigned OverWhite(unsigned v, unsigned a, unsigned max, bool premultiplied)
{
    if (premultiplied)
        return std::min(max, v + (max - std::min(a, max)));
    return unsigned((uint64_t(v) * a + uint64_t(max) * (max - a) + max / 2) / max);
}

// An n-bit value repeated to fill `to` bits: exactly v (2^to - 1) / (2^n - 1) when n
// divides `to`, and ImageMagick's scaling otherwise.
uint32_t Repeat(uint32_t v, int n, int to)
{
    uint64_t out = 0;
    int filled = 0;
    for (; filled < to; filled += n)
        out = out << n | v;
    return uint32_t(out >> (filled - to));
}

inline void PutBit(uint8_t *row, int64_t x, bool set)
{
    if (set)
        row[x / 8] |= uint8_t(0x80 >> (x % 8));
}

} // namespace

TiffRowConverter::TiffRowConverter(const TiffPlan &plan, int64_t width,
                                   std::vector<std::array<uint8_t, 3>> colourMap)
    : plan_(plan), width_(width), colourMap_(std::move(colourMap)), lab_(plan.whiteX, plan.whiteY)
{
    wide_ = plan.kind == SampleKind::Float || plan.bits > 8;
    max_ = wide_ ? 65535u : 255u;
    if (plan.kind != SampleKind::Float && plan.bits <= 16) {
        const uint32_t count = 1u << plan.bits;
        lut_.resize(count);
        for (uint32_t raw = 0; raw < count; ++raw) {
            const uint32_t u = plan.kind == SampleKind::Signed ? raw ^ (count >> 1) : raw;
            lut_[raw] = uint16_t(Repeat(u, plan.bits, wide_ ? 16 : 8));
        }
    }
    const int channels = plan.colourSamples + (plan.alpha >= 0 ? 1 : 0);
    for (int c = 0; c < channels; ++c)
        channel_[c].resize(size_t(width));
    if (colourMap_.empty())
        colourMap_.push_back({0, 0, 0});
}

int64_t TiffRowConverter::PlaneRowBytes() const
{
    const int64_t perPixel = plan_.planar ? 1 : plan_.samples;
    return (width_ * perPixel * plan_.bits + 7) / 8;
}

uint64_t TiffRowConverter::Raw(const uint8_t *const *planes, int64_t x, int sample) const
{
    const uint8_t *row = plan_.planar ? planes[sample] : planes[0];
    const uint64_t i =
        plan_.planar ? uint64_t(x) : uint64_t(x) * uint64_t(plan_.samples) + uint64_t(sample);
    switch (plan_.bits) {
    case 8: return row[i];
    case 16: {
        uint16_t v;
        std::memcpy(&v, row + 2 * i, 2);
        return v;
    }
    case 24: {
        const uint8_t *p = row + 3 * i;
        return std::endian::native == std::endian::little
                   ? uint64_t(p[0]) | uint64_t(p[1]) << 8 | uint64_t(p[2]) << 16
                   : uint64_t(p[2]) | uint64_t(p[1]) << 8 | uint64_t(p[0]) << 16;
    }
    case 32: {
        uint32_t v;
        std::memcpy(&v, row + 4 * i, 4);
        return v;
    }
    case 64: {
        uint64_t v;
        std::memcpy(&v, row + 8 * i, 8);
        return v;
    }
    default: {
        // A bit stream, high bit first.
        uint64_t bit = i * uint64_t(plan_.bits);
        uint64_t v = 0;
        for (int left = plan_.bits; left > 0;) {
            const int offset = int(bit % 8);
            const int take = std::min(8 - offset, left);
            const unsigned byte = row[bit / 8];
            v = v << take | (byte >> (8 - offset - take) & ((1u << take) - 1));
            bit += uint64_t(take);
            left -= take;
        }
        return v;
    }
    }
}

uint16_t TiffRowConverter::Scale(uint64_t raw) const
{
    if (plan_.kind == SampleKind::Float) {
        double f;
        if (plan_.bits == 16)
            f = HalfToFloat(uint16_t(raw));
        else if (plan_.bits == 32)
            f = std::bit_cast<float>(uint32_t(raw));
        else
            f = std::bit_cast<double>(raw);
        if (!(f > 0.0))
            return 0;
        return f >= 1.0 ? uint16_t(65535) : uint16_t(f * 65535.0 + 0.5);
    }
    if (!lut_.empty())
        return lut_[size_t(raw)];
    if (plan_.kind == SampleKind::Signed)
        raw ^= uint64_t(1) << (plan_.bits - 1);
    return uint16_t(raw >> (plan_.bits - 16));
}

void TiffRowConverter::Unpack(const uint8_t *const *planes, int sample,
                              std::vector<uint16_t> &to) const
{
    for (int64_t x = 0; x < width_; ++x)
        to[size_t(x)] = Scale(Raw(planes, x, sample));
}

bool TiffRowConverter::FastPath(const uint8_t *const *planes, uint8_t *out) const
{
    const TiffPlan &p = plan_;
    const bool single = p.samples == 1;
    const bool plain = p.kind == SampleKind::Unsigned && p.alpha < 0;
    const uint8_t *in = planes[0];
    if (p.colours == TiffColours::Bilevel && single) {
        const size_t n = size_t((width_ + 7) / 8);
        for (size_t i = 0; i < n; ++i)
            out[i] = p.minIsWhite ? uint8_t(~in[i]) : in[i];
        return true;
    }
    if (p.colours == TiffColours::Palette && single && p.bits == p.depth) {
        std::memcpy(out, in, size_t((width_ * p.bits + 7) / 8));
        return true;
    }
    if (p.colours == TiffColours::Grey && single && plain && p.bits == 8) {
        for (int64_t x = 0; x < width_; ++x)
            out[x] = p.minIsWhite ? uint8_t(255 - in[x]) : in[x];
        return true;
    }
    if (p.colours == TiffColours::Rgb && !p.planar && plain && p.bits == 8 && p.samples == 3) {
        // The common case on its own, with a fixed step the compiler can vectorise.
        for (int64_t x = 0; x < width_; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
        return true;
    }
    if (p.colours == TiffColours::Rgb && !p.planar && plain && p.bits == 8) {
        const size_t step = size_t(p.samples);
        for (int64_t x = 0; x < width_; ++x) {
            const uint8_t *s = in + size_t(x) * step;
            out[3 * x] = s[2];
            out[3 * x + 1] = s[1];
            out[3 * x + 2] = s[0];
        }
        return true;
    }
    if (p.colours == TiffColours::Rgb && !p.planar && plain && p.bits == 16) {
        const size_t step = size_t(p.samples);
        for (int64_t x = 0; x < width_; ++x) {
            uint16_t s[3];
            std::memcpy(s, in + 2 * size_t(x) * step, 6);
            out[3 * x] = uint8_t(s[2] >> 8);
            out[3 * x + 1] = uint8_t(s[1] >> 8);
            out[3 * x + 2] = uint8_t(s[0] >> 8);
        }
        return true;
    }
    return false;
}

void TiffRowConverter::Convert(const uint8_t *const *planes, uint8_t *out)
{
    if (FastPath(planes, out))
        return;
    if (plan_.colours == TiffColours::Palette) {
        ConvertPalette(planes, out);
        return;
    }
    if (plan_.colours == TiffColours::Lab) {
        ConvertLab(planes, out);
        return;
    }
    const int channels = plan_.colourSamples + (plan_.alpha >= 0 ? 1 : 0);
    for (int c = 0; c < channels; ++c)
        Unpack(planes, c < plan_.colourSamples ? c : plan_.alpha, channel_[c]);
    Store(out);
}

void TiffRowConverter::Store(uint8_t *out)
{
    const unsigned max = max_;
    const int shift = wide_ ? 8 : 0;
    const bool hasAlpha = plan_.alpha >= 0;
    const std::vector<uint16_t> &alpha = channel_[plan_.colourSamples];
    auto blend = [&](unsigned v, int64_t x) {
        return hasAlpha ? OverWhite(v, alpha[size_t(x)], max, plan_.premultiplied) : v;
    };
    switch (plan_.colours) {
    case TiffColours::Bilevel:
    case TiffColours::Grey:
        for (int64_t x = 0; x < width_; ++x) {
            unsigned g = channel_[0][size_t(x)];
            if (plan_.minIsWhite)
                g = max - g;
            g = blend(g, x);
            if (plan_.depth == 1)
                PutBit(out, x, g > max / 2);
            else
                out[x] = uint8_t(g >> shift);
        }
        break;
    case TiffColours::Rgb:
        for (int64_t x = 0; x < width_; ++x) {
            out[3 * x] = uint8_t(blend(channel_[2][size_t(x)], x) >> shift);
            out[3 * x + 1] = uint8_t(blend(channel_[1][size_t(x)], x) >> shift);
            out[3 * x + 2] = uint8_t(blend(channel_[0][size_t(x)], x) >> shift);
        }
        break;
    case TiffColours::Cmyk:
        for (int64_t x = 0; x < width_; ++x) {
            const uint64_t white = max - channel_[3][size_t(x)];
            auto ink = [&](int c) {
                return unsigned((max - channel_[c][size_t(x)]) * white / max);
            };
            out[3 * x] = uint8_t(blend(ink(2), x) >> shift);
            out[3 * x + 1] = uint8_t(blend(ink(1), x) >> shift);
            out[3 * x + 2] = uint8_t(blend(ink(0), x) >> shift);
        }
        break;
    default: break;
    }
}

void TiffRowConverter::ConvertPalette(const uint8_t *const *planes, uint8_t *out)
{
    const size_t last = colourMap_.size() - 1;
    const bool hasAlpha = plan_.alpha >= 0;
    for (int64_t x = 0; x < width_; ++x) {
        const size_t index = std::min<size_t>(size_t(Raw(planes, x, 0)), last);
        switch (plan_.depth) {
        case 1: PutBit(out, x, index != 0); break;
        case 4: out[x / 2] |= uint8_t(x % 2 ? index : index << 4); break;
        case 8: out[x] = uint8_t(index); break;
        default: {
            const std::array<uint8_t, 3> &c = colourMap_[index];
            const unsigned a =
                hasAlpha ? Scale(Raw(planes, x, plan_.alpha)) >> (wide_ ? 8 : 0) : 255;
            out[3 * x] = uint8_t(OverWhite(c[2], a, 255, plan_.premultiplied));
            out[3 * x + 1] = uint8_t(OverWhite(c[1], a, 255, plan_.premultiplied));
            out[3 * x + 2] = uint8_t(OverWhite(c[0], a, 255, plan_.premultiplied));
            break;
        }
        }
    }
}

void TiffRowConverter::ConvertLab(const uint8_t *const *planes, uint8_t *out)
{
    const int bits = plan_.bits;
    const bool isFloat = plan_.kind == SampleKind::Float;
    const double top = isFloat ? 1.0 : std::ldexp(1.0, bits) - 1.0;
    const bool hasAlpha = plan_.alpha >= 0;
    // Integer L* runs 0..2^n - 1 for 0..100; signed a* and b* step by 2^(n-8), ICC ones
    // run 0..2^n - 1 for -128..127.
    auto chroma = [&](uint64_t raw) -> double {
        if (plan_.iccLab)
            return double(raw) * 255.0 / top - 128.0;
        const int64_t half = int64_t(1) << (bits - 1);
        const int64_t s = int64_t(raw) >= half ? int64_t(raw) - 2 * half : int64_t(raw);
        return std::ldexp(double(s), 8 - bits);
    };
    auto number = [&](uint64_t raw) -> double {
        if (bits == 16)
            return HalfToFloat(uint16_t(raw));
        if (bits == 32)
            return std::bit_cast<float>(uint32_t(raw));
        return std::bit_cast<double>(raw);
    };
    for (int64_t x = 0; x < width_; ++x) {
        const uint64_t l = Raw(planes, x, 0), a = Raw(planes, x, 1), b = Raw(planes, x, 2);
        uint8_t rgb[3];
        if (isFloat)
            lab_(number(l), number(a), number(b), rgb);
        else
            lab_(double(l) * 100.0 / top, chroma(a), chroma(b), rgb);
        const unsigned alpha =
            hasAlpha ? Scale(Raw(planes, x, plan_.alpha)) >> (wide_ ? 8 : 0) : 255;
        out[3 * x] = uint8_t(OverWhite(rgb[2], alpha, 255, plan_.premultiplied));
        out[3 * x + 1] = uint8_t(OverWhite(rgb[1], alpha, 255, plan_.premultiplied));
        out[3 * x + 2] = uint8_t(OverWhite(rgb[0], alpha, 255, plan_.premultiplied));
    }
}

} // namespace rastix
