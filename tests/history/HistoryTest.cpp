// SPDX-License-Identifier: GPL-3.0-or-later
// The history against a model that keeps a full copy of the work raster after every
// step: random strokes (radii, positions, tools, colours, brightnesses), Grayscale,
// Soften and Colorize everything, undos and redos on small pictures, some starting from
// a work raster that differs from the source (a work file opened again),
// compared byte for byte after every action, with budgets from roomy to none at all (so
// that every undo rebuilds from the source).
#include "history/History.h"

#include "ops/ColorizeAll.h"
#include "ops/Grayscale.h"
#include "ops/Soften.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pixels(const RasterImage &r)
{
    return Bytes(r.Pixels, r.Pixels + RasterImageSize(r));
}

void Put(const RasterImage &r, const Bytes &bytes)
{
    std::memcpy(r.Pixels, bytes.data(), bytes.size());
}

// The whole-picture operations as the window does them again.
bool Grey(const RasterImage &, const RasterImage &work, const document::ProgressSink &progress)
{
    ops::Grayscale(work, progress);
    return true;
}

bool Soft(const RasterImage &, const RasterImage &work, const document::ProgressSink &progress)
{
    return ops::Soften(work, progress) == ops::FilterResult::Filtered;
}

history::WholeOperation ColourAll(const colour::Paint &paint, bool colorize)
{
    return [=](const RasterImage &source, const RasterImage &work, const document::ProgressSink &) {
        ops::ColorizeAll(source, work, paint, colorize);
        return true;
    };
}

// A photo-like source: smooth shading with noise, so greys repeat but not everywhere.
RasterImage PhotoLike(int32_t w, int32_t h, std::mt19937 &rng)
{
    RasterImage r = newdib(w, h, 24, nullptr, 0);
    std::uniform_int_distribution<int> noise(-12, 12);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const int v = std::clamp((x * 255) / std::max(1, w - 1) / 2 + y + noise(rng), 0, 255);
            setpixel(r, x, y, uint32_t(v) * 0x010101u ^ uint32_t(noise(rng) & 7));
        }
    return r;
}

// The work raster's bytes, then the stroke record's ids (all 0 until it is made).
Bytes State(const RasterImage &work, const history::History &history)
{
    Bytes state = Pixels(work);
    const colour::StrokeRecord &record = history.Record();
    for (int32_t y = 0; y < RasterHeight(work); ++y)
        for (int32_t x = 0; x < RasterWidth(work); ++x) {
            const uint16_t id = record.Allocated() ? record.Row(y)[x] : 0;
            state.push_back(uint8_t(id));
            state.push_back(uint8_t(id >> 8));
        }
    return state;
}

// Every state the work raster went through by steps gets an id of its own, so that
// "saved" is the plain question whether the state now is the one marked.
struct Model {
    std::vector<Bytes> states; // states[i]: after i steps
    std::vector<int> ids;      // ids[i]: the identity of states[i]
    size_t done = 0;
    int nextId = 1;
    int savedId = 0; // the state opened is the saved one
    void Step(const Bytes &after)
    {
        states.resize(done + 1);
        ids.resize(done + 1);
        states.push_back(after);
        ids.push_back(nextId++);
        ++done;
    }
    bool Saved() const { return ids[done] == savedId; }
};

class HistoryModelTest : public testing::TestWithParam<size_t> {};

TEST_P(HistoryModelTest, EveryActionLeavesWhatFullCopiesWouldHold)
{
    const size_t budget = GetParam();
    for (uint32_t seed = 1; seed <= 150; ++seed) {
        std::mt19937 rng(seed * 7919u + uint32_t(budget));
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int32_t w = seed % 10 == 0 ? 1 : pick(1, 150);
        const int32_t h = seed % 10 == 5 ? 1 : pick(1, 140);
        RasterImage source = PhotoLike(w, h, rng);
        RasterImage work = newdib(w, h, 24, nullptr, 0);
        Put(work, Pixels(source));

        history::History history(budget);
        if (seed % 3 == 0) {
            // A work file opened again: the work raster starts coloured, and every
            // rebuild must start from it, not from the source.
            for (int k = pick(1, 200); k > 0; --k)
                PictureRow(work, pick(0, h - 1))[pick(0, 3 * w - 1)] ^= uint8_t(pick(1, 255));
            history.Start(source, work);
        }
        Model model;
        model.states.push_back(State(work, history));
        model.ids.push_back(0);
        for (int action = 0; action < 60; ++action) {
            const int kind = pick(0, 10);
            if (kind <= 4) {
                history.BeginStroke();
                view::StrokeParams p;
                p.radius = pick(0, 9) == 0 ? 32767 : pick(0, 3) == 0 ? pick(0, 2) : pick(0, 40);
                p.hue = pick(0, 255);
                p.saturation = pick(0, 255);
                p.brightness = pick(0, 9) == 0   ? (pick(0, 1) ? INT32_MAX : INT32_MIN)
                               : pick(0, 5) == 0 ? pick(-300, 300)
                                                 : pick(-100, 100);
                p.colorize = pick(0, 3) != 0;
                // Tones kept for about one hue in five and edges followed for one saturation
                // in three, without drawing another number.
                p.keepTones = p.hue % 5 == 0;
                p.followEdges = p.saturation % 3 == 0;
                int32_t x = pick(-30, w + 30), y = pick(-30, h + 30);
                for (int segments = pick(1, 6); segments > 0; --segments) {
                    const int32_t nx = std::clamp(x + pick(-40, 40), -50, w + 50);
                    const int32_t ny = std::clamp(y + pick(-40, 40), -50, h + 50);
                    if (pick(0, 4) == 0)
                        p.brightness = pick(-100, 100); // typed while the button is held
                    history.PaintStroke(source, work, x, y, nx, ny, p);
                    ASSERT_FALSE(history.Saved()); // a stroke being painted is a change
                    x = nx;
                    y = ny;
                    if (pick(0, 12) == 0) {
                        // Grayscale from the keyboard while the mouse is held: the stroke
                        // so far, the operation and the rest of the stroke are three steps.
                        // (A stroke that follows the edges spreads as its first step
                        // ends, which the model cannot see from here: it ends first.)
                        if (p.followEdges)
                            history.EndStroke(source, work);
                        model.Step(State(work, history));
                        ASSERT_TRUE(history.Apply(source, work, Grey, {}));
                        model.Step(State(work, history));
                        if (p.followEdges)
                            history.BeginStroke();
                    }
                }
                history.EndStroke(source, work);
                model.Step(State(work, history));
            } else if (kind == 5) {
                ASSERT_TRUE(history.Apply(source, work, Grey, {}));
                model.Step(State(work, history));
            } else if (kind == 7) {
                ASSERT_TRUE(history.Apply(source, work, Soft, {}));
                model.Step(State(work, history));
            } else if (kind == 6) {
                const int32_t hue = pick(0, 255), sat = pick(0, 255), bright = pick(-100, 100);
                const bool colorize = pick(0, 3) != 0;
                const colour::Paint paint{hue, sat, bright, hue % 5 == 0};
                ASSERT_TRUE(history.Apply(source, work, ColourAll(paint, colorize), {},
                                          colorize ? std::optional(paint) : std::nullopt));
                model.Step(State(work, history));
            } else {
                const bool undo = kind <= 9;
                const bool could = undo ? model.done > 0 : model.done + 1 < model.states.size();
                EXPECT_EQ(undo ? history.CanUndo() : history.CanRedo(), could);
                const Bytes before = Pixels(work);
                const Rect changed = undo ? history.Undo(source, work) : history.Redo(source, work);
                if (could)
                    model.done += undo ? -1 : 1;
                // What the window repaints: every changed pixel lies in the rectangle.
                const Bytes after = Pixels(work);
                for (int32_t y = 0; y < h; ++y)
                    for (int32_t x = 0; x < w; ++x) {
                        const size_t at = size_t(h - 1 - y) * size_t(work.Stride) + 3 * size_t(x);
                        if (std::memcmp(&before[at], &after[at], 3) != 0) {
                            ASSERT_TRUE(x >= changed.Left && x < changed.Right && y >= changed.Top
                                        && y < changed.Bottom)
                                << "pixel " << x << "," << y << " changed outside the rectangle";
                        }
                    }
            }
            ASSERT_EQ(State(work, history), model.states[model.done])
                << "seed " << seed << ", action " << action << " (kind " << kind << "), " << w
                << " x " << h;
            ASSERT_EQ(history.DoneCount(), model.done);
            ASSERT_EQ(history.Saved(), model.Saved()) << "seed " << seed << ", action " << action;
            if (pick(0, 7) == 0) {
                history.MarkSaved();
                model.savedId = model.ids[model.done];
            } else if (pick(0, 40) == 0) {
                history.ForgetSaved();
                model.savedId = -1;
            }
            // Over the budget only what cannot be dropped: every record is gone then.
            ASSERT_TRUE(history.StoredBytes() <= budget
                        || history.RebuildCount() == history.StepCount());
        }
        deldib(source);
        deldib(work);
    }
}

// Roomy; a few tiles' worth, so some records go and some stay; nothing, so every undo
// rebuilds from the source.
INSTANTIATE_TEST_SUITE_P(Budgets, HistoryModelTest,
                         testing::Values(size_t(256) << 20, size_t(200) << 10, size_t(0)));

} // namespace

namespace {

// A picture of the model test's kind and its working copy, released at the end.
struct Pair {
    RasterImage source, work;
    Pair(int32_t w, int32_t h)
    {
        std::mt19937 rng(uint32_t(w * 31 + h));
        source = PhotoLike(w, h, rng);
        work = newdib(w, h, 24, nullptr, 0);
        Put(work, Pixels(source));
    }
    ~Pair()
    {
        deldib(source);
        deldib(work);
    }
};

using Reports = std::vector<int32_t>;

document::ProgressSink Into(Reports &reports)
{
    return [&reports](int32_t percent) { reports.push_back(percent); };
}

// What Soften alone reports on a picture of that many rows.
Reports SoftenReports(int32_t w, int32_t h)
{
    Pair p(w, h);
    Reports reports;
    ops::Soften(p.work, Into(reports));
    return reports;
}

TEST(HistoryApply, RunsTheOperationOnceWithItsProgressAndRedoReportsTheSame)
{
    Pair p(40, 7);
    history::History history;
    int runs = 0;
    const history::WholeOperation counted = [&runs](const RasterImage &s, const RasterImage &w,
                                                    const document::ProgressSink &progress) {
        ++runs;
        return Soft(s, w, progress);
    };
    Reports applied;
    ASSERT_TRUE(history.Apply(p.source, p.work, counted, Into(applied)));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(applied, SoftenReports(40, 7));
    const Bytes softened = Pixels(p.work);

    history.Undo(p.source, p.work);
    EXPECT_EQ(Pixels(p.work), Pixels(p.source));
    Reports redone;
    history.Redo(p.source, p.work, Into(redone));
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(redone, applied);
    EXPECT_EQ(Pixels(p.work), softened);
}

TEST(HistoryApply, AnOperationNotDoneIsNoStep)
{
    Pair p(20, 5);
    history::History history;
    const Bytes before = Pixels(p.work);
    EXPECT_FALSE(history.Apply(p.source, p.work,
                               [](const RasterImage &, const RasterImage &,
                                  const document::ProgressSink &) { return false; },
                               {}));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.StepCount(), 0u);
    EXPECT_EQ(Pixels(p.work), before);
}

TEST(HistoryApply, InTheMiddleOfAStrokeSplitsItIntoThreeSteps)
{
    Pair p(60, 30);
    history::History history;
    view::StrokeParams brush;
    brush.radius = 4;
    brush.hue = 170;
    brush.saturation = 200;
    history.BeginStroke();
    history.PaintStroke(p.source, p.work, 5, 5, 20, 10, brush);
    const Bytes firstPart = Pixels(p.work);
    ASSERT_TRUE(history.Apply(p.source, p.work, Grey, {}));
    EXPECT_TRUE(history.InStep()); // the stroke goes on
    const Bytes greyed = Pixels(p.work);
    history.PaintStroke(p.source, p.work, 20, 10, 50, 25, brush);
    history.EndStroke(p.source, p.work);
    EXPECT_EQ(history.StepCount(), 3u);
    history.Undo(p.source, p.work);
    EXPECT_EQ(Pixels(p.work), greyed);
    history.Undo(p.source, p.work);
    EXPECT_EQ(Pixels(p.work), firstPart);
}

TEST(HistoryApply, ARebuildReportsOneRisingBarFromZeroToZero)
{
    // No budget: every undo rebuilds by doing the earlier steps again, here two
    // Softens and a stroke before the step undone.
    Pair p(50, 9);
    history::History history(0);
    ASSERT_TRUE(history.Apply(p.source, p.work, Soft, {}));
    history.BeginStroke();
    history.PaintStroke(p.source, p.work, 3, 3, 30, 6, view::StrokeParams{});
    history.EndStroke(p.source, p.work);
    ASSERT_TRUE(history.Apply(p.source, p.work, Soft, {}));
    ASSERT_TRUE(history.Apply(p.source, p.work, Grey, {}));
    ASSERT_EQ(history.RebuildCount(), history.StepCount());

    Reports rebuild;
    history.Undo(p.source, p.work, Into(rebuild));
    ASSERT_GE(rebuild.size(), 3u);
    EXPECT_EQ(rebuild.front(), 0);
    EXPECT_EQ(rebuild.back(), 0);
    const Reports rising(rebuild.begin() + 1, rebuild.end() - 1);
    EXPECT_TRUE(std::is_sorted(rising.begin(), rising.end()));
    // The second Soften's rows lie in the last third of the bar and reach its end.
    EXPECT_GT(rising.back(), 90);
    EXPECT_LE(rising.back(), 100);
    // Each of the nine rows of each Soften moves the bar.
    EXPECT_GE(rising.size(), 2u * 9u - 2u);
}

} // namespace

namespace {

// A picture in two flat halves, grey 60 on the left and 180 on the right.
struct Halves {
    RasterImage source, work;
    Halves(int32_t w, int32_t h)
    {
        source = newdib(w, h, 24, nullptr, 0);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                setpixel(source, x, y, x < w / 2 ? 0x3c3c3cu : 0xb4b4b4u);
        work = newdib(w, h, 24, nullptr, 0);
        Put(work, Pixels(source));
    }
    ~Halves()
    {
        deldib(source);
        deldib(work);
    }
};

view::StrokeParams Following(int32_t radius)
{
    view::StrokeParams p;
    p.radius = radius;
    p.hue = 30;
    p.saturation = 220;
    p.followEdges = true;
    return p;
}

TEST(HistorySpread, AStrokeAndItsSpreadAreOneStepThatUndoAndRedoPutBackExactly)
{
    Halves p(160, 90);
    history::History history;
    history.BeginStroke();
    history.PaintStroke(p.source, p.work, 20, 40, 30, 45, Following(3));
    const Bytes painted = State(p.work, history);
    // Shown once, with the spread already in the work raster.
    std::vector<Rect> shown;
    const Rect spread = history.EndStroke(p.source, p.work, {}, [&](const Rect &r) {
        shown.push_back(r);
        EXPECT_NE(getpixel(p.work, 0, 0), getpixel(p.source, 0, 0));
    });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], spread);
    EXPECT_EQ(history.StepCount(), 1u);
    // The left half is coloured to its edge; the right half is as it was.
    EXPECT_TRUE(spread.Left == 0 && spread.Top == 0 && spread.Bottom == 90);
    EXPECT_NE(getpixel(p.work, 0, 0), getpixel(p.source, 0, 0));
    EXPECT_NE(getpixel(p.work, 75, 89), getpixel(p.source, 75, 89));
    for (int32_t y = 0; y < 90; ++y)
        for (int32_t x = 84; x < 160; ++x)
            ASSERT_EQ(getpixel(p.work, x, y), getpixel(p.source, x, y)) << x << "," << y;
    const Bytes after = State(p.work, history);
    EXPECT_NE(after, painted);

    // A whole-picture operation keeps the record and changes only the raster.
    ASSERT_TRUE(history.Apply(p.source, p.work, Grey, {}));
    const Bytes greyed = State(p.work, history);
    EXPECT_TRUE(std::equal(after.begin() + RasterImageSize(p.work), after.end(),
                           greyed.begin() + RasterImageSize(p.work)));

    history.Undo(p.source, p.work);
    history.Undo(p.source, p.work);
    Halves fresh(160, 90);
    history::History none;
    EXPECT_EQ(State(p.work, history), State(fresh.work, none));
    history.Redo(p.source, p.work);
    EXPECT_EQ(State(p.work, history), after);
}

// Making the spreads ready beforehand, before the first stroke or between two, changes
// no byte of what they give; on rasters of two sizes it does nothing.
TEST(HistorySpread, MakingReadyChangesNothing)
{
    const std::pair<int, int> strokes[] = {{20, 40}, {120, 30}};
    auto paint = [&](history::History &history, Halves &p, bool ready) {
        Halves other(7, 5);
        history.PrepareSpreads(p.source, other.work);
        for (const auto &[x, y] : strokes) {
            if (ready)
                history.PrepareSpreads(p.source, p.work);
            view::StrokeParams b = Following(3);
            b.hue = uint8_t(x);
            history.BeginStroke();
            history.PaintStroke(p.source, p.work, x, y, x + 8, y + 4, b);
            history.EndStroke(p.source, p.work);
        }
        return State(p.work, history);
    };
    Halves plain(160, 90), ready(160, 90);
    history::History a, b;
    EXPECT_EQ(paint(a, plain, false), paint(b, ready, true));
}

struct EdgeCase {
    const char *name;
    int32_t w, h, x1, y1, x2, y2, radius;
};

class HistorySpreadEdges : public testing::TestWithParam<EdgeCase> {};

// Strokes that reach past the picture, a radius far beyond a tiny picture, and the
// widest picture there is: the spread stays inside, the stroke's own pixels keep its
// colour, and undo gives back the picture as opened.
TEST_P(HistorySpreadEdges, StaysInsideAndUndoesExactly)
{
    const EdgeCase &c = GetParam();
    Halves p(c.w, c.h);
    for (const size_t budget : {size_t(64) << 20, size_t(0)}) {
        history::History history(budget);
        history.BeginStroke();
        history.PaintStroke(p.source, p.work, c.x1, c.y1, c.x2, c.y2, Following(c.radius));
        const Rect spread = history.EndStroke(p.source, p.work);
        EXPECT_TRUE(spread.Empty()
                    || (spread.Left >= 0 && spread.Top >= 0 && spread.Right <= c.w
                        && spread.Bottom <= c.h));
        const Bytes after = State(p.work, history);
        history.Undo(p.source, p.work);
        EXPECT_EQ(Pixels(p.work), Pixels(p.source)) << "budget " << budget;
        history.Redo(p.source, p.work);
        EXPECT_EQ(State(p.work, history), after) << "budget " << budget;
        history.Undo(p.source, p.work);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistorySpreadEdges,
    testing::Values(EdgeCase{"OnePixelRadius100", 1, 1, 0, 0, 0, 0, 100},
                    EdgeCase{"AlongTheRightEdge", 64, 40, 63, -5, 63, 45, 4},
                    EdgeCase{"FromOutsideTheCorner", 64, 40, -30, -30, 2, 2, 6},
                    EdgeCase{"OneRowTheWidestThereIs", 32767, 1, 32760, 0, 32800, 0, 3}),
    [](const testing::TestParamInfo<EdgeCase> &param) { return std::string(param.param.name); });

} // namespace

namespace {

// A work file's stroke record taken over after Start is the record the next strokes
// spread beside, and the one undo goes back to; one of another size is not taken.
TEST(HistorySpread, AWorkFilesRecordIsWhereTheHistoryStarts)
{
    Halves p(160, 90);
    history::History history;
    history.Start(p.source, p.work);
    colour::StrokeRecord wrong;
    wrong.Reset(90, 160);
    ASSERT_TRUE(wrong.Allocate());
    history.AdoptRecord(p.work, wrong);
    EXPECT_FALSE(history.Record().Allocated());

    colour::StrokeRecord kept;
    kept.Reset(160, 90);
    ASSERT_TRUE(kept.Allocate());
    const uint16_t old = kept.IdOf(view::MarkOf(Following(3)));
    for (int32_t y = 40; y < 50; ++y)
        for (int32_t x = 5; x < 15; ++x)
            kept.Row(y)[x] = old;
    history.AdoptRecord(p.work, kept);
    const Bytes start = State(p.work, history);

    view::StrokeParams other = Following(3);
    other.hue = 160;
    history.BeginStroke();
    history.PaintStroke(p.source, p.work, 70, 40, 72, 45, other);
    history.EndStroke(p.source, p.work);
    // The kept stroke keeps its own pixels and takes the part of the half nearer to it:
    // the far left gets its colour, not the new stroke's.
    EXPECT_EQ(history.Record().Row(45)[10], old);
    EXPECT_NE(getpixel(p.work, 0, 45), getpixel(p.source, 0, 45));
    EXPECT_NE(getpixel(p.work, 60, 45), getpixel(p.source, 60, 45));
    EXPECT_NE(getpixel(p.work, 0, 45), getpixel(p.work, 60, 45));
    history.Undo(p.source, p.work);
    EXPECT_EQ(State(p.work, history), start);
}

} // namespace
