// SPDX-License-Identifier: GPL-3.0-or-later
// The history against a model that keeps a full copy of the work raster after every
// step: random strokes (radii, positions, tools, colours, brightnesses), Grayscale,
// Soften and Colorize everything, undos and redos on small pictures,
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
bool Grey(const RasterImage &, const RasterImage &work)
{
    ops::Grayscale(work, {});
    return true;
}

bool Soft(const RasterImage &, const RasterImage &work)
{
    return ops::Soften(work, {}) == ops::FilterResult::Filtered;
}

history::WholeOperation ColourAll(int32_t hue, int32_t sat, int32_t bright, bool colorize)
{
    return [=](const RasterImage &source, const RasterImage &work) {
        ops::ColorizeAll(source, work, hue, sat, bright, colorize);
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

struct Model {
    std::vector<Bytes> states; // states[i]: after i steps
    size_t done = 0;
    void Step(const Bytes &after)
    {
        states.resize(done + 1);
        states.push_back(after);
        ++done;
    }
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
        Model model;
        model.states.push_back(Pixels(work));
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
                int32_t x = pick(-30, w + 30), y = pick(-30, h + 30);
                for (int segments = pick(1, 6); segments > 0; --segments) {
                    const int32_t nx = std::clamp(x + pick(-40, 40), -50, w + 50);
                    const int32_t ny = std::clamp(y + pick(-40, 40), -50, h + 50);
                    if (pick(0, 4) == 0)
                        p.brightness = pick(-100, 100); // typed while the button is held
                    history.Stroke(source, work, x, y, nx, ny, p);
                    x = nx;
                    y = ny;
                    if (pick(0, 12) == 0) {
                        // Grayscale from the keyboard while the mouse is held: the stroke
                        // so far, the operation and the rest of the stroke are three steps.
                        model.Step(Pixels(work));
                        history.BeginWhole(source, work);
                        Grey(source, work);
                        history.EndWhole(Grey);
                        model.Step(Pixels(work));
                    }
                }
                history.EndStroke(source, work);
                model.Step(Pixels(work));
            } else if (kind == 5) {
                history.BeginWhole(source, work);
                Grey(source, work);
                history.EndWhole(Grey);
                model.Step(Pixels(work));
            } else if (kind == 7) {
                history.BeginWhole(source, work);
                ASSERT_TRUE(Soft(source, work));
                history.EndWhole(Soft);
                model.Step(Pixels(work));
            } else if (kind == 6) {
                const int32_t hue = pick(0, 255), sat = pick(0, 255), bright = pick(-100, 100);
                const bool colorize = pick(0, 3) != 0;
                history.BeginWhole(source, work);
                ColourAll(hue, sat, bright, colorize)(source, work);
                history.EndWhole(ColourAll(hue, sat, bright, colorize),
                                 colorize ? std::optional(colour::Paint{hue, sat, bright})
                                          : std::nullopt);
                model.Step(Pixels(work));
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
            ASSERT_EQ(Pixels(work), model.states[model.done])
                << "seed " << seed << ", action " << action << " (kind " << kind << "), " << w
                << " x " << h;
            ASSERT_EQ(history.DoneCount(), model.done);
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
