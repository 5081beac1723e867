// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/EdgeCost.h"

#include "platform/rastix/HugePages.h"

#include <algorithm>
#include <cstdlib>

// The row kernels below are compiled once for each vector instruction set; Highway's
// foreach_target includes this file again for every one of them.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "colour/EdgeCost.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace colour {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D16 = hn::ScalableTag<uint16_t>;
using D8 = hn::Rebind<uint8_t, D16>;
using DI16 = hn::Rebind<int16_t, D16>;

// GreyValue of each pixel of a row of blue, green, red triples: each term divided by
// 100 on its own, as (x * 41944) >> 22 does for x up to 25500.
void GreyRow(const uint8_t *HWY_RESTRICT bgr, uint16_t *HWY_RESTRICT grey, size_t width)
{
    const D16 d16;
    const D8 d8;
    const size_t lanes = hn::Lanes(d16);
    const auto hundredth = hn::Set(d16, uint16_t(41944));
    auto term = [&](hn::Vec<D8> channel, uint16_t weight) {
        return hn::ShiftRight<6>(
            hn::MulHigh(hn::Mul(hn::PromoteTo(d16, channel), hn::Set(d16, weight)), hundredth));
    };
    size_t x = 0;
    for (; x + lanes <= width; x += lanes) {
        hn::Vec<D8> blue, green, red;
        hn::LoadInterleaved3(d8, bgr + 3 * x, blue, green, red);
        hn::StoreU(hn::Add(hn::Add(term(red, 30), term(green, 59)), term(blue, 11)), d16, grey + x);
    }
    for (; x < width; ++x) {
        const uint8_t *p = bgr + 3 * x;
        grey[x] = uint16_t(p[2] * 30 / 100 + p[1] * 59 / 100 + p[0] * 11 / 100);
    }
}

// out[x] = in[x] + 2 in[x + 1] + in[x + 2]: a row smoothed across, from a row padded by
// one value on each side.
void AcrossRow(const uint16_t *HWY_RESTRICT in, uint16_t *HWY_RESTRICT out, size_t width)
{
    const D16 d;
    const size_t lanes = hn::Lanes(d);
    size_t x = 0;
    for (; x + lanes <= width; x += lanes) {
        const auto mid = hn::LoadU(d, in + x + 1);
        hn::StoreU(
            hn::Add(hn::Add(hn::LoadU(d, in + x), hn::LoadU(d, in + x + 2)), hn::Add(mid, mid)), d,
            out + x);
    }
    for (; x < width; ++x)
        out[x] = uint16_t(in[x] + 2 * in[x + 1] + in[x + 2]);
}

// out[x] = up[x] + 2 mid[x] + down[x].
void DownRow(const uint16_t *HWY_RESTRICT up, const uint16_t *HWY_RESTRICT mid,
             const uint16_t *HWY_RESTRICT down, uint16_t *HWY_RESTRICT out, size_t width)
{
    const D16 d;
    const size_t lanes = hn::Lanes(d);
    size_t x = 0;
    for (; x + lanes <= width; x += lanes) {
        const auto m = hn::LoadU(d, mid + x);
        hn::StoreU(hn::Add(hn::Add(hn::LoadU(d, up + x), hn::LoadU(d, down + x)), hn::Add(m, m)), d,
                   out + x);
    }
    for (; x < width; ++x)
        out[x] = uint16_t(up[x] + 2 * mid[x] + down[x]);
}

// Each pixel's cost (EdgeCost::kWall for a wall) and whether its grey changes most
// across, from the smoothed rows kSpan above and below it and its own row padded by
// kSpan values on each side.
void CostRow(const uint16_t *HWY_RESTRICT above, const uint16_t *HWY_RESTRICT here,
             const uint16_t *HWY_RESTRICT below, uint8_t *HWY_RESTRICT cost,
             uint8_t *HWY_RESTRICT alongX, size_t width)
{
    constexpr size_t k = size_t(EdgeCost::kSpan);
    const D16 d16;
    const D8 d8;
    const size_t lanes = hn::Lanes(d16);
    // Beyond an excess of 45 the cost is above kHighest whatever it is: holding the
    // excess there keeps its square within 16 bits.
    const auto flat = hn::Set(d16, uint16_t(EdgeCost::kFlat));
    const auto most = hn::Set(d16, uint16_t(46));
    const auto one = hn::Set(d16, uint16_t(1));
    const auto highest = hn::Set(d16, uint16_t(EdgeCost::kHighest));
    const auto wall = hn::Set(d16, uint16_t(EdgeCost::kWall));
    static_assert(EdgeCost::kSoftness == 16, "the division below is a shift by 4");
    auto absDiff = [](hn::Vec<D16> a, hn::Vec<D16> b) {
        return hn::Or(hn::SaturatedSub(a, b), hn::SaturatedSub(b, a));
    };
    size_t x = 0;
    for (; x + lanes <= width; x += lanes) {
        const auto gx = absDiff(hn::LoadU(d16, here + x + 2 * k), hn::LoadU(d16, here + x));
        const auto gy = absDiff(hn::LoadU(d16, below + x), hn::LoadU(d16, above + x));
        const auto over = hn::Min(hn::SaturatedSub(hn::Max(gx, gy), flat), most);
        const auto c = hn::Add(one, hn::ShiftRight<4>(hn::Mul(over, over)));
        const auto out = hn::IfThenElse(hn::Gt(c, highest), wall, c);
        hn::StoreU(hn::DemoteTo(d8, hn::BitCast(DI16(), out)), d8, cost + x);
        const auto across = hn::IfThenZeroElse(hn::Lt(gx, gy), one);
        hn::StoreU(hn::DemoteTo(d8, hn::BitCast(DI16(), across)), d8, alongX + x);
    }
    for (; x < width; ++x) {
        const int32_t gx = std::abs(int32_t(here[x + 2 * k]) - int32_t(here[x]));
        const int32_t gy = std::abs(int32_t(below[x]) - int32_t(above[x]));
        cost[x] = EdgeCost::CostOf(std::max(gx, gy));
        alongX[x] = gx >= gy;
    }
}

} // namespace HWY_NAMESPACE
} // namespace colour
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace colour {

HWY_EXPORT(GreyRow);
HWY_EXPORT(AcrossRow);
HWY_EXPORT(DownRow);
HWY_EXPORT(CostRow);

EdgeCost::EdgeCost(const RasterImage &source)
{
    if (!source.Pixels || RasterBitCount(source) != 24 || RasterWidth(source) <= 0
        || RasterHeight(source) <= 0)
        return;
    const int32_t width = RasterWidth(source);
    const int32_t height = RasterHeight(source);
    const size_t w = size_t(width);
    cost_.assign((w + 2) * (size_t(height) + 2), 0);
    width_ = width;
    height_ = height;

    // The grey values smoothed across each row (each row padded by its end values),
    // then down each column, each smoothed row padded by kSpan copies of its end values.
    const size_t span = size_t(kSpan);
    const size_t paddedWidth = w + 2 * span;
    std::vector<uint16_t> across(w * size_t(height));
    rastix::AdviseHugePages(across.data(), across.size() * sizeof(uint16_t));
    std::vector<uint16_t> grey(w + 2);
    for (int32_t y = 0; y < height; ++y) {
        HWY_DYNAMIC_DISPATCH(GreyRow)(PictureRow(source, y), grey.data() + 1, w);
        grey[0] = grey[1];
        grey[w + 1] = grey[w];
        HWY_DYNAMIC_DISPATCH(AcrossRow)(grey.data(), across.data() + size_t(y) * w, w);
    }
    std::vector<uint16_t> smooth(paddedWidth * size_t(height));
    rastix::AdviseHugePages(smooth.data(), smooth.size() * sizeof(uint16_t));
    for (int32_t y = 0; y < height; ++y) {
        uint16_t *out = smooth.data() + size_t(y) * paddedWidth;
        HWY_DYNAMIC_DISPATCH(DownRow)
        (across.data() + size_t(std::max(y - 1, 0)) * w, across.data() + size_t(y) * w,
         across.data() + size_t(std::min(y + 1, height - 1)) * w, out + span, w);
        std::fill(out, out + span, out[span]);
        std::fill(out + span + w, out + paddedWidth, out[span + w - 1]);
    }
    across.clear();
    across.shrink_to_fit();

    std::vector<uint8_t> alongX(w * size_t(height));
    auto row = [&](int32_t y) {
        return smooth.data() + size_t(std::clamp(y, 0, height - 1)) * paddedWidth;
    };
    for (int32_t y = 0; y < height; ++y)
        HWY_DYNAMIC_DISPATCH(CostRow)
    (row(y - kSpan) + span, row(y), row(y + kSpan) + span, cost_.data() + Index(0, y),
     alongX.data() + size_t(y) * w, w);

    // Each wall's nearest pixel that is no wall, along its way.
    for (int32_t y = 0; y < height; ++y) {
        uint8_t *out = cost_.data() + Index(0, y);
        for (int32_t x = 0; x < width; ++x) {
            if (!IsWall(out[x]))
                continue;
            const bool onX = alongX[size_t(y) * w + size_t(x)] != 0;
            int32_t offset = 0;
            for (int32_t k = 1; k <= kWallReach && offset == 0; ++k)
                for (const int32_t o : {-k, k}) {
                    const int32_t nx = onX ? x + o : x, ny = onX ? y : y + o;
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                        continue;
                    if (!IsWall(cost_[Index(nx, ny)])) {
                        offset = o;
                        break;
                    }
                }
            out[x] = uint8_t(kWall | (onX ? 0 : 64) | (offset + 32));
        }
    }
}

} // namespace colour
#endif // HWY_ONCE
