// SPDX-License-Identifier: GPL-3.0-or-later
// ApplyFilter, the literal filter, against the kernel formula written out with clamped
// coordinates; the fast Soften against ApplyFilter with SoftenKernel byte for byte; and
// the cases both must get right, run on each.
#include "ops/Soften.h"
#include "ops/ApplyFilter.h"
#include "ops/OpsTestSupport.h"
#include "view/RasterFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using opstest::CountingLibrary;
using opstest::ProgressLog;
using viewtest::OwnedRaster;

// The kernel's value for channel ch of pixel (x, y), from its definition: positions
// beyond an edge read the edge pixel. 64-bit sums, so the kernels used here must not
// overflow 32 bits.
uint8_t FormulaValue(const OwnedRaster &in, const ops::FilterKernel &k, int32_t x, int32_t y,
                     int32_t ch)
{
    const int32_t w = RasterWidth(in.get()), h = RasterHeight(in.get());
    int64_t sum = 0;
    for (int32_t r = 0; r < 5; ++r)
        for (int32_t c = 0; c < 5; ++c)
            sum += int64_t(k.Weights[r][c])
                   * in.At(std::clamp(x + c - 2, 0, w - 1), std::clamp(y + r - 2, 0, h - 1))[ch];
    return uint8_t(std::clamp<int64_t>(sum / k.Divisor + k.Bias, 0, 255));
}

using SoftenFunction = ops::FilterResult (*)(const RasterImage &, const document::ProgressSink &,
                                             const document::RasterLibrary &);

ops::FilterResult LiteralSoften(const RasterImage &raster, const document::ProgressSink &progress,
                                const document::RasterLibrary &library)
{
    return ops::ApplyFilter(raster, ops::SoftenKernel, progress, library);
}

class SoftenBoth : public testing::TestWithParam<SoftenFunction> {
protected:
    ops::FilterResult Run(const OwnedRaster &raster)
    {
        return GetParam()(raster.get(), log.Sink(), library.Library());
    }
    ProgressLog log;
    CountingLibrary library;
};

TEST_P(SoftenBoth, UniformPictureIsUnchanged)
{
    for (const int32_t value : {0, 1, 8, 9, 128, 254, 255}) {
        OwnedRaster raster(13, 6);
        raster.FillRandom(1); // padding
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 13; ++x)
                std::fill_n(raster.At(x, y), 3, uint8_t(value));
        const auto before = raster.Copy();
        EXPECT_EQ(Run(raster), ops::FilterResult::Filtered);
        EXPECT_EQ(raster.Copy(), before) << value;
    }
    EXPECT_EQ(library.News, library.Deletes);
}

TEST_P(SoftenBoth, CornersWeighTheRepeatedEdgePixels)
{
    OwnedRaster raster(6, 5);
    raster.FillRandom(2);
    const OwnedRaster &in = raster;
    std::array<std::array<int32_t, 3>, 2> corner{};
    for (int32_t ch = 0; ch < 3; ++ch) {
        corner[0][size_t(ch)] =
            (4 * in.At(0, 0)[ch] + 2 * in.At(1, 0)[ch] + 2 * in.At(0, 1)[ch] + in.At(1, 1)[ch]) / 9;
        corner[1][size_t(ch)] =
            (4 * in.At(5, 4)[ch] + 2 * in.At(4, 4)[ch] + 2 * in.At(5, 3)[ch] + in.At(4, 3)[ch]) / 9;
    }
    Run(raster);
    for (int32_t ch = 0; ch < 3; ++ch) {
        EXPECT_EQ(raster.At(0, 0)[ch], corner[0][size_t(ch)]);
        EXPECT_EQ(raster.At(5, 4)[ch], corner[1][size_t(ch)]);
    }
}

TEST_P(SoftenBoth, SingleBrightPixelSpreadsANinthOverItsBlock)
{
    OwnedRaster raster(9, 7);
    std::fill_n(raster.get().Pixels, raster.Bytes(), uint8_t(0));
    const uint8_t v[3] = {200, 255, 17};
    std::copy_n(v, 3, raster.At(4, 3));
    Run(raster);
    for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 9; ++x)
            for (int32_t ch = 0; ch < 3; ++ch) {
                const bool inside = std::abs(x - 4) <= 1 && std::abs(y - 3) <= 1;
                EXPECT_EQ(raster.At(x, y)[ch], inside ? v[ch] / 9 : 0) << x << "," << y;
            }
}

TEST_P(SoftenBoth, OnePixelWideUsesTheBorderOnBothSides)
{
    OwnedRaster raster(1, 6);
    raster.FillRandom(3);
    const OwnedRaster &in = raster;
    std::vector<int32_t> wanted;
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t ch = 0; ch < 3; ++ch)
            wanted.push_back(3
                             * (in.At(0, std::max(y - 1, 0))[ch] + in.At(0, y)[ch]
                                + in.At(0, std::min(y + 1, 5))[ch])
                             / 9);
    Run(raster);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t ch = 0; ch < 3; ++ch)
            EXPECT_EQ(raster.At(0, y)[ch], wanted[size_t(3 * y + ch)]) << y;
}

TEST_P(SoftenBoth, IndexedRasterIsLeftAloneWithoutAllocating)
{
    for (const int32_t bits : {1, 4, 8}) {
        const RasterImage indexed = newdib(7, 5, bits, nullptr, 0);
        std::fill_n(indexed.Pixels, RasterImageSize(indexed), uint8_t(0x5a));
        log.values.clear();
        EXPECT_EQ(GetParam()(indexed, log.Sink(), library.Library()),
                  ops::FilterResult::NotFiltered);
        EXPECT_TRUE(std::all_of(indexed.Pixels, indexed.Pixels + RasterImageSize(indexed),
                                [](uint8_t b) { return b == 0x5a; }));
        EXPECT_EQ(log.values, (std::vector<int32_t>{0, 0})) << bits;
        deldib(indexed);
    }
    EXPECT_EQ(library.News, 0);
}

TEST_P(SoftenBoth, RefusedMemoryLeavesThePictureAndEndsTheProgress)
{
    OwnedRaster raster(10, 4);
    raster.FillRandom(4);
    const auto before = raster.Copy();
    library.Refuse = true;
    EXPECT_EQ(Run(raster), ops::FilterResult::OutOfMemory);
    EXPECT_EQ(raster.Copy(), before);
    EXPECT_EQ(log.values, (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(library.Deletes, 0);
}

TEST_P(SoftenBoth, ScratchOfTheWrongSizeIsReleasedAndCountsAsMissing)
{
    OwnedRaster raster(10, 4);
    raster.FillRandom(5);
    const auto before = raster.Copy();
    document::RasterLibrary small = library.Library();
    small.NewDib = [&](int32_t, int32_t, int32_t bits, const void *, int32_t) {
        ++library.News;
        return newdib(2, 2, bits, nullptr, 0);
    };
    EXPECT_EQ(GetParam()(raster.get(), {}, small), ops::FilterResult::OutOfMemory);
    EXPECT_EQ(raster.Copy(), before);
    EXPECT_EQ(library.News, 1);
    EXPECT_EQ(library.Deletes, 1);
}

INSTANTIATE_TEST_SUITE_P(LiteralAndFast, SoftenBoth, testing::Values(&LiteralSoften, &ops::Soften),
                         [](const testing::TestParamInfo<SoftenFunction> &p) {
                             return std::string(p.index == 0 ? "ApplyFilter" : "Soften");
                         });

TEST(ApplyFilter, GeneralKernelGivesTheFormulasBytes)
{
    // Negative weights everywhere in the ring, a divisor that makes sums of both signs
    // truncate toward zero, a bias, and results far outside 0..255 on both sides.
    ops::FilterKernel edges{-3, 40, {}};
    for (int32_t r = 0; r < 5; ++r)
        for (int32_t c = 0; c < 5; ++c)
            edges.Weights[r][c] = (r == 2 && c == 2) ? 30 : (r + c) % 3 - 1 - (r * c) % 2;
    ops::FilterKernel sharpen{2, -7, {}};
    sharpen.Weights[2][2] = 9;
    sharpen.Weights[1][2] = sharpen.Weights[3][2] = sharpen.Weights[2][1] = -2;
    sharpen.Weights[0][4] = -1;
    for (const auto &kernel : {edges, sharpen, ops::SoftenKernel}) {
        for (const auto &[w, h] :
             std::vector<std::pair<int32_t, int32_t>>{{11, 7}, {1, 4}, {3, 1}}) {
            OwnedRaster raster(w, h);
            raster.FillRandom(uint32_t(w * h));
            OwnedRaster in(w, h);
            in.Assign(raster.Copy());
            auto wanted = raster.Copy();
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    for (int32_t ch = 0; ch < 3; ++ch)
                        wanted[size_t(in.At(x, y) - in.get().Pixels) + size_t(ch)] =
                            FormulaValue(in, kernel, x, y, ch);
            EXPECT_EQ(ops::ApplyFilter(raster.get(), kernel, {}), ops::FilterResult::Filtered);
            EXPECT_EQ(raster.Copy(), wanted) << w << " x " << h;
        }
    }
}

TEST(ApplyFilter, DivisorZeroChangesNothing)
{
    OwnedRaster raster(5, 5);
    raster.FillRandom(6);
    const auto before = raster.Copy();
    ProgressLog log;
    EXPECT_EQ(ops::ApplyFilter(raster.get(), ops::FilterKernel{0, 0, {}}, log.Sink()),
              ops::FilterResult::NotFiltered);
    EXPECT_EQ(raster.Copy(), before);
    EXPECT_EQ(log.values, (std::vector<int32_t>{0, 0}));
}

TEST(SoftenProgress, LiteralCopiesThenFiltersAndTheFastPathRunsOnce)
{
    struct Case {
        int32_t height;
        std::vector<int32_t> literal, fast;
    };
    for (const Case &c : {Case{3, {0, 0, 0, 50, 100, 0, 50, 100, 0}, {0, 0, 0, 50, 100, 0}},
                          Case{1, {0, 0, 100, 100, 0}, {0, 0, 100, 0}}}) {
        OwnedRaster raster(4, c.height);
        ProgressLog literal, fast;
        ops::ApplyFilter(raster.get(), ops::SoftenKernel, literal.Sink());
        ops::Soften(raster.get(), fast.Sink());
        EXPECT_EQ(literal.values, c.literal) << c.height;
        EXPECT_EQ(fast.values, c.fast) << c.height;
    }
}

// The fast path against the literal one, padding bytes included, on random pictures of
// random sizes (one pixel, one row, one column among them) on every vector target.
void RandomPicture(uint32_t seed)
{
    std::mt19937 gen(seed);
    auto pick = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(gen);
    };
    const int32_t shape = pick(0, 4);
    const int32_t width = shape == 0 ? 1 : pick(1, shape == 1 ? 8 : 300);
    const int32_t height = shape == 1 ? 1 : pick(1, shape == 2 ? 3 : 40);
    OwnedRaster literal(width, height);
    literal.FillRandom(seed);
    // Runs of extreme values reach the largest sums, 9 x 255.
    if (pick(0, 1) == 1)
        for (uint32_t i = 0; i < literal.Bytes(); ++i)
            literal.get().Pixels[i] = (i / 40) % 2 ? 255 : literal.get().Pixels[i];
    const auto before = literal.Copy();
    ops::ApplyFilter(literal.get(), ops::SoftenKernel, {});
    const auto wanted = literal.Copy();
    opstest::ForEachSimdTarget([&](int64_t) {
        OwnedRaster fast(width, height);
        fast.Assign(before);
        ASSERT_EQ(ops::Soften(fast.get(), {}), ops::FilterResult::Filtered);
        ASSERT_EQ(fast.Copy(), wanted) << width << " x " << height;
    });
}

TEST(SoftenMatchesLiteral, RandomPicturesGiveIdenticalBytesOnEveryTarget)
{
    for (uint32_t seed = 1; seed <= 120; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        RandomPicture(seed);
        if (HasFatalFailure())
            return;
    }
}

} // namespace
