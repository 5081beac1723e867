// SPDX-License-Identifier: GPL-3.0-or-later
// The edge-following spread against the literal walk of its rule (EdgeSpreadLiteral), on
// small random pictures with random strokes, and its promises: painted pixels never
// change, nothing beyond the reach changes, a grey step stops it, it reaches its full
// distance through a flat area and fades after, and the eraser's spread gives back the
// picture as opened.
#include "EdgeSpreadLiteral.h"
#include "support/RandomStrokes.h"

#include "colour/DoPix.h"
#include "colour/EdgeCost.h"
#include "colour/EdgeSpread.h"
#include "colour/GreyColourTable.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

using testsupport::Mark;
using testsupport::RandomMark;
using testsupport::RandomRecord;
using Bytes = std::vector<uint8_t>;

struct Raster {
    RasterImage image;
    Raster(int32_t w, int32_t h) : image(newdib(w, h, 24, nullptr, 0)) {}
    ~Raster() { deldib(image); }
    Raster(const Raster &) = delete;
    Raster &operator=(const Raster &) = delete;
    Bytes Pixels() const { return Bytes(image.Pixels, image.Pixels + RasterImageSize(image)); }
    uint8_t *At(int32_t x, int32_t y) const { return PictureRow(image, y) + 3 * x; }
    void Fill(int32_t x, int32_t y, int32_t grey) const { std::memset(At(x, y), grey, 3); }
};

// Regions of random grey with soft or sharp borders, texture and noise.
void MakePhoto(const Raster &r, std::mt19937 &rng)
{
    const int32_t w = RasterWidth(r.image), h = RasterHeight(r.image);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<int32_t> grey(size_t(w) * size_t(h), pick(0, 255));
    for (int k = pick(0, 4); k > 0; --k) {
        const int32_t cx = pick(0, w - 1), cy = pick(0, h - 1), rad = pick(1, 30), g = pick(0, 255);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= rad * rad)
                    grey[size_t(y) * size_t(w) + size_t(x)] = g;
    }
    const int noise = pick(0, 3) == 0 ? 40 : pick(0, 6);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const int32_t g = std::clamp(grey[size_t(y) * size_t(w) + size_t(x)]
                                             + pick(-noise, noise) + ((x + y) % 3 - 1) * 2,
                                         0, 255);
            uint8_t *p = r.At(x, y);
            p[0] = uint8_t(g);
            p[1] = uint8_t(std::clamp(g + pick(-3, 3), 0, 255));
            p[2] = uint8_t(g);
        }
}

struct Case {
    uint32_t seed;
    int32_t w, h;
};

std::vector<Case> Cases()
{
    std::vector<Case> cases{{1, 1, 1}, {2, 1, 37}, {3, 41, 1}, {4, 2, 2}};
    std::mt19937 rng(99);
    for (uint32_t seed = 5; seed < 45; ++seed)
        cases.push_back({seed, std::uniform_int_distribution<int>(1, 48)(rng),
                         std::uniform_int_distribution<int>(1, 40)(rng)});
    return cases;
}

TEST(EdgeCost, EveryPixelIsItsFormulaOnEveryVectorTarget)
{
    std::vector<Case> cases = Cases();
    // Rows long enough for many vectors and a tail.
    for (uint32_t seed = 60; seed < 66; ++seed)
        cases.push_back({seed, int32_t(97 + 41 * (seed - 60)), int32_t(3 + seed % 5)});
    struct Restore {
        ~Restore() { hwy::SetSupportedTargetsForTest(0); }
    } restore;
    for (const int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        for (const Case &c : cases) {
            std::mt19937 rng(c.seed);
            Raster source(c.w, c.h);
            MakePhoto(source, rng);
            const colour::EdgeCost cost(source.image);
            const std::vector<uint8_t> expected = literal::EdgeCostOf(source.image);
            for (int32_t y = 0; y < c.h; ++y)
                for (int32_t x = 0; x < c.w; ++x)
                    ASSERT_EQ(cost.Row(y)[x], expected[size_t(y) * size_t(c.w) + size_t(x)])
                        << "seed " << c.seed << " at " << x << "," << y;
            // The border around the map lets nothing through.
            EXPECT_EQ(cost.Data()[cost.Index(-1, 0)], 0);
            EXPECT_EQ(cost.Data()[cost.Index(c.w, c.h - 1)], 0);
        }
    }
}

// Whether every value the scratch holds is zero again, as each spread leaves it.
bool AllZero(const colour::SpreadScratch &scratch)
{
    for (size_t i = 0; i < scratch.Count(); ++i)
        if (scratch.Nearest()[i] != 0 || scratch.First()[i] != 0 || scratch.Second()[i] != 0)
            return false;
    return true;
}

TEST(EdgeSpread, AfterAStrokeWritesWhatTheLiteralRuleWritesAndNothingElse)
{
    // One scratch for every case, of every size, as the history keeps one per picture.
    colour::SpreadScratch scratch;
    for (const Case &c : Cases()) {
        ASSERT_TRUE(AllZero(scratch)) << "before seed " << c.seed;
        std::mt19937 rng(c.seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        Raster source(c.w, c.h), work(c.w, c.h);
        MakePhoto(source, rng);
        for (int32_t y = 0; y < c.h; ++y)
            for (int32_t x = 0; x < c.w; ++x)
                for (int k = 0; k < 3; ++k)
                    work.At(x, y)[k] = uint8_t(pick(0, 255));
        colour::StrokeRecord record = RandomRecord(c.w, c.h, rng, 0, 5, 6);
        colour::StrokeMark strokeMark = RandomMark(rng);
        strokeMark.spreads = true;
        // Every other case, a paint an earlier stroke has used, so the mark spreads from
        // more than the new stroke's pixels.
        for (size_t m = 1; m <= record.MarkCount() && c.seed % 2 == 0; ++m)
            if (record.Mark(m).spreads)
                strokeMark = record.Mark(uint16_t(m));
        const uint16_t stroke = record.IdOf(strokeMark);
        const int32_t cx = pick(-3, c.w + 2), cy = pick(-3, c.h + 2), radius = pick(0, 8);
        Mark(record, cx, cy, radius, stroke);
        const Rect area{cx - radius, cy - radius, cx + radius + 1, cy + radius + 1};

        Raster expected(c.w, c.h);
        std::memcpy(expected.image.Pixels, work.image.Pixels, RasterImageSize(work.image));
        literal::Spread(source.image, expected.image, record,
                        literal::AfterStroke(source.image, record, area, stroke));

        const colour::EdgeCost cost(source.image);
        const Bytes before = work.Pixels();
        const colour::EdgeSpread spread(source.image, cost, record, scratch, area, stroke);
        spread.Write(work.image);
        ASSERT_EQ(work.Pixels(), expected.Pixels()) << "seed " << c.seed;
        // Every pixel written lies in the area and the blocks the spread names.
        const std::vector<Rect> blocks = spread.Blocks(8);
        const Rect a = spread.Area();
        for (int32_t y = 0; y < c.h; ++y)
            for (int32_t x = 0; x < c.w; ++x) {
                const size_t at = size_t(c.h - 1 - y) * size_t(work.image.Stride) + 3 * size_t(x);
                if (std::memcmp(&before[at], work.image.Pixels + at, 3) == 0)
                    continue;
                EXPECT_TRUE(x >= a.Left && x < a.Right && y >= a.Top && y < a.Bottom);
                EXPECT_TRUE(std::any_of(blocks.begin(), blocks.end(),
                                        [&](const Rect &b) {
                                            return x >= b.Left && x < b.Right && y >= b.Top
                                                   && y < b.Bottom;
                                        }))
                    << x << "," << y;
                EXPECT_EQ(record.Row(y)[x], 0) << "a painted pixel changed at " << x << "," << y;
            }
    }
    EXPECT_TRUE(AllZero(scratch));
}

// Strokes one after another on one picture, as a user paints: their paints drawn from
// three, so later strokes often repeat an earlier one's, and an eraser now and then.
// After every stroke the picture is what the literal rule gives, with one scratch for
// the whole sequence.
TEST(EdgeSpread, StrokeAfterStrokeEachSpreadIsTheLiteralRules)
{
    colour::SpreadScratch scratch;
    for (uint32_t seed = 200; seed < 210; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int32_t w = pick(8, 48), h = pick(8, 32);
        Raster source(w, h), work(w, h), expected(w, h);
        MakePhoto(source, rng);
        std::memcpy(work.image.Pixels, source.image.Pixels, RasterImageSize(source.image));
        std::memcpy(expected.image.Pixels, source.image.Pixels, RasterImageSize(source.image));
        colour::StrokeRecord record;
        record.Reset(w, h);
        ASSERT_TRUE(record.Allocate());
        std::vector<colour::StrokeMark> paints;
        for (int k = 0; k < 3; ++k) {
            paints.push_back(RandomMark(rng));
            paints.back().spreads = true;
            paints.back().colorize = k != 2 || seed % 3 != 0; // sometimes an eraser
        }
        const colour::EdgeCost cost(source.image);
        for (int n = 0; n < 6; ++n) {
            const uint16_t stroke = record.IdOf(paints[size_t(pick(0, 2))]);
            const int32_t cx = pick(0, w - 1), cy = pick(0, h - 1), radius = pick(0, 3);
            Mark(record, cx, cy, radius, stroke);
            const Rect area{cx - radius, cy - radius, cx + radius + 1, cy + radius + 1};
            literal::Spread(source.image, expected.image, record,
                            literal::AfterStroke(source.image, record, area, stroke));
            colour::EdgeSpread(source.image, cost, record, scratch, area, stroke).Write(work.image);
            ASSERT_EQ(work.Pixels(), expected.Pixels()) << "seed " << seed << ", stroke " << n;
            ASSERT_TRUE(AllZero(scratch)) << "seed " << seed << ", stroke " << n;
        }
    }
}

TEST(EdgeSpread, OverTheWholePictureWritesWhatTheLiteralRuleWrites)
{
    colour::SpreadScratch scratch;
    for (const Case &c : Cases()) {
        ASSERT_TRUE(AllZero(scratch)) << "before seed " << c.seed;
        std::mt19937 rng(c.seed + 1000);
        Raster source(c.w, c.h), work(c.w, c.h), expected(c.w, c.h);
        MakePhoto(source, rng);
        const colour::StrokeRecord record = RandomRecord(c.w, c.h, rng, 1, 6, 4);
        literal::Spread(source.image, expected.image, record);
        const colour::EdgeCost cost(source.image);
        colour::EdgeSpread(source.image, cost, record, scratch).Write(work.image);
        ASSERT_EQ(work.Pixels(), expected.Pixels()) << "seed " << c.seed;
    }
}

// A flat picture in two halves of grey 90 (left) and 170 (right), 1 pixel of soft edge.
struct TwoHalves {
    Raster source, work;
    colour::StrokeRecord record;
    TwoHalves(int32_t w, int32_t h) : source(w, h), work(w, h)
    {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                source.Fill(x, y, x < w / 2 ? 90 : x == w / 2 ? 130 : 170);
        std::memcpy(work.image.Pixels, source.image.Pixels, RasterImageSize(source.image));
        record.Reset(w, h);
        EXPECT_TRUE(record.Allocate());
    }
    void Spread(const Rect &area, uint16_t id)
    {
        const colour::EdgeCost cost(source.image);
        colour::SpreadScratch scratch;
        colour::EdgeSpread(source.image, cost, record, scratch, area, id).Write(work.image);
    }
};

TEST(EdgeSpread, AGreyStepStopsItAndTheRegionFillsWithTheStrokesColour)
{
    TwoHalves p(120, 80);
    const colour::StrokeMark sky{{150, 200, 0, false}, true, true};
    const uint16_t id = p.record.IdOf(sky);
    Mark(p.record, 20, 40, 3, id);
    p.Spread({17, 37, 24, 44}, id);
    const colour::GreyColourTable t = colour::MakeGreyColourTable(sky.paint);
    for (int32_t y = 0; y < 80; ++y)
        for (int32_t x = 0; x < 120; ++x) {
            const uint8_t *got = p.work.At(x, y);
            if (p.record.Row(y)[x] != 0)
                continue; // painted by the stroke itself
            if (x < 59) {
                const size_t g = size_t(colour::GreyValue(90, 90, 90));
                ASSERT_EQ(got[0], t.Blue[g]) << x << "," << y;
                ASSERT_EQ(got[2], t.Red[g]) << x << "," << y;
            } else if (x > 61) {
                ASSERT_EQ(got[0], 170) << "leaked across the step at " << x << "," << y;
                ASSERT_EQ(got[2], 170) << "leaked across the step at " << x << "," << y;
            }
        }
}

TEST(EdgeSpread, ReachesItsFullDistanceThroughAFlatAreaThenFadesOutAndStops)
{
    // R = 300 on a picture 3000 wide: full strength to at least 300 pixels (to 14 R / 10
    // = 420 along a row), nothing from 20 R / 10 = 600 pixels on.
    const int32_t w = 3000;
    Raster source(w, 3), work(w, 3);
    for (int32_t x = 0; x < w; ++x)
        for (int32_t y = 0; y < 3; ++y)
            source.Fill(x, y, 120);
    std::memcpy(work.image.Pixels, source.image.Pixels, RasterImageSize(source.image));
    colour::StrokeRecord record;
    record.Reset(w, 3);
    ASSERT_TRUE(record.Allocate());
    const colour::StrokeMark red{{0, 255, 0, false}, true, true};
    const uint16_t id = record.IdOf(red);
    record.Row(1)[0] = id;
    const colour::EdgeCost cost(source.image);
    colour::SpreadScratch scratch;
    colour::EdgeSpread(source.image, cost, record, scratch, {0, 1, 1, 2}, id).Write(work.image);
    const colour::GreyColourTable t = colour::MakeGreyColourTable(red.paint);
    const size_t g = size_t(colour::GreyValue(120, 120, 120));
    for (int32_t x = 1; x <= 300; ++x)
        ASSERT_EQ(work.At(x, 1)[2], t.Red[g]) << x;
    int previous = t.Red[g];
    for (int32_t x = 301; x < 600; ++x) {
        ASSERT_LE(work.At(x, 1)[2], previous) << x; // fading toward the grey
        previous = work.At(x, 1)[2];
    }
    EXPECT_EQ(work.At(420, 1)[2], t.Red[g]);
    for (int32_t x = 600; x < w; ++x)
        ASSERT_EQ(work.At(x, 1)[2], 120) << x;
    EXPECT_LT(work.At(550, 1)[2], t.Red[g]);
    EXPECT_GT(work.At(550, 1)[2], 120);
}

TEST(EdgeSpread, TheErasersSpreadGivesBackThePictureAsOpened)
{
    TwoHalves p(90, 50);
    // Every pixel coloured, as "Colorize everything" leaves them.
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 90; ++x) {
            uint8_t *d = p.work.At(x, y);
            d[0] = 10, d[1] = uint8_t(x), d[2] = uint8_t(200 + y);
        }
    const uint16_t id = p.record.IdOf({{}, false, true});
    Mark(p.record, 70, 25, 2, id);
    p.Spread({68, 23, 73, 28}, id);
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 47; x < 90; ++x)
            if (p.record.Row(y)[x] == 0) {
                ASSERT_EQ(std::memcmp(p.work.At(x, y), p.source.At(x, y), 3), 0) << x << "," << y;
            }
    EXPECT_EQ(p.work.At(10, 10)[2], 210); // the other half is left alone
}

TEST(EdgeSpread, AMarkThatDoesNotSpreadOrAMissingRecordWritesNothing)
{
    TwoHalves p(30, 20);
    const uint16_t still = p.record.IdOf({{40, 200, 0, false}, true, false});
    Mark(p.record, 5, 5, 2, still);
    const Bytes before = p.work.Pixels();
    p.Spread({3, 3, 8, 8}, still);
    EXPECT_EQ(p.work.Pixels(), before);
    colour::StrokeRecord none;
    none.Reset(30, 20);
    const colour::EdgeCost cost(p.source.image);
    colour::SpreadScratch scratch;
    const colour::EdgeSpread spread(p.source.image, cost, none, scratch, {0, 0, 30, 20}, 1);
    EXPECT_TRUE(spread.Area().Empty());
    spread.Write(p.work.image);
    EXPECT_EQ(p.work.Pixels(), before);
}

TEST(EdgeSpread, APictureOneRowHighAndTheWidestAllowed)
{
    const int32_t w = 32767;
    Raster source(w, 1), work(w, 1), expected(w, 1);
    std::mt19937 rng(5);
    MakePhoto(source, rng);
    colour::StrokeRecord record;
    record.Reset(w, 1);
    ASSERT_TRUE(record.Allocate());
    const uint16_t id = record.IdOf({{90, 160, 20, true}, true, true});
    for (int32_t x = w - 4; x < w; ++x)
        record.Row(0)[x] = id;
    literal::Spread(source.image, expected.image, record,
                    literal::AfterStroke(source.image, record, {w - 4, 0, w, 1}, id));
    const colour::EdgeCost cost(source.image);
    colour::SpreadScratch scratch;
    colour::EdgeSpread(source.image, cost, record, scratch, {w - 4, 0, w + 20, 1}, id)
        .Write(work.image);
    EXPECT_EQ(work.Pixels(), expected.Pixels());
}

// The two nearest marks are kept with 16 bits of distance, so End must fit them for every
// picture, while the full strength still reaches a tenth of the larger side and 250.
TEST(EdgeSpread, ItsReachFitsSixteenBitsAndCoversATenthOfEveryPicture)
{
    for (int32_t side = 1; side <= 32767; ++side) {
        const colour::SpreadReach reach = colour::ReachOf(side, 1);
        ASSERT_LE(reach.end, 65535u) << side;
        const double fullPixels = 1.3 * reach.full / 14;
        ASSERT_GE(fullPixels, std::max(250.0, side / 10.0)) << side;
        ASSERT_EQ(colour::ReachOf(1, side).end, reach.end) << side;
    }
}

} // namespace
