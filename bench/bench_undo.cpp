// SPDX-License-Identifier: GPL-3.0-or-later
// The undo history on a 6000 x 4000 photograph-like picture:
//  - BM_StrokeStep: one brush step of radius 100 over 300 raster pixels, the stroke's
//    first (when it notes the most), with and without the history recording it;
//  - BM_History1000Strokes: the history's memory after 1000 such strokes (counter MiB);
//  - BM_UndoRedoStroke: undoing and redoing the last of them, each with the repaint of
//    what changed on a 1280 x 800 view;
//  - BM_UndoWhole: undoing Soften done after the strokes, with the repaint of the view;
//    with filters 2 it is the second of two, so what it overwrote is nowhere else (no
//    source pixels, no brush colours) and is kept compressed.
#include "history/History.h"
#include "ops/Soften.h"
#include "platform/gdi/SurfaceDC.h"
#include "view/BrushStroke.h"
#include "view/PaintView.h"
#include "view/RasterToViewRect.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;
constexpr int kViewWidth = 1280;
constexpr int kViewHeight = 800;

struct Picture {
    RasterImage source = newdib(kWidth, kHeight, 24, nullptr, 0);
    RasterImage work = newdib(kWidth, kHeight, 24, nullptr, 0);
    QImage surface{kViewWidth, kViewHeight, QImage::Format_RGB32};
    Picture()
    {
        // Smooth shading with grain, like a scanned photograph.
        std::mt19937 rng(7);
        for (int32_t r = 0; r < kHeight; ++r) {
            uint8_t *row = source.Pixels + int64_t(r) * source.Stride;
            for (int32_t x = 0; x < kWidth; ++x) {
                const int v = (x / 40 + r / 30) % 200 + int(rng() % 24);
                row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = uint8_t(v);
            }
        }
        std::memcpy(work.Pixels, source.Pixels, RasterImageSize(source));
    }
    ~Picture()
    {
        deldib(source);
        deldib(work);
    }
    // The repaint after an undo or redo, counted as the whole 1280 x 800 view at zoom
    // 100 whatever changed (the window repaints only what shows the changed part).
    void Repaint(const Rect &)
    {
        gdi::SurfaceDC dc(surface, QPoint(0, 0), QRect(0, 0, kViewWidth, kViewHeight), 32);
        view::PaintView(&dc, work, 100);
    }
};

view::StrokeParams Brush(uint32_t n)
{
    view::StrokeParams p;
    p.radius = 100;
    p.hue = int32_t(n * 37 % 256);
    p.saturation = 150;
    p.brightness = int32_t(n % 41) - 20;
    p.colorize = n % 10 != 9;
    return p;
}

// One stroke of 300 raster pixels as the mouse gives it: 30 moves of 10 pixels.
void MouseStroke(history::History &h, Picture &p, uint32_t n, std::mt19937 &rng)
{
    const int32_t x0 = int32_t(rng() % (kWidth - 400)) + 50;
    const int32_t y0 = int32_t(rng() % (kHeight - 300)) + 50;
    const view::StrokeParams brush = Brush(n);
    h.BeginStroke();
    for (int32_t i = 0; i < 30; ++i)
        h.PaintStroke(p.source, p.work, x0 + 10 * i, y0 + i, x0 + 10 * (i + 1), y0 + i + 1, brush);
    h.EndStroke(p.source, p.work);
}

bool Soften(const RasterImage &, const RasterImage &work, const document::ProgressSink &progress)
{
    return ops::Soften(work, progress) == ops::FilterResult::Filtered;
}

void BM_StrokeStep(benchmark::State &state)
{
    const bool record = state.range(0) != 0;
    Picture p;
    history::History h;
    uint32_t n = 0;
    for (auto _ : state) {
        const int32_t y = int32_t(150 + (n * 211) % (kHeight - 300));
        const int32_t x = int32_t(150 + (n * 577) % (kWidth - 600));
        const view::StrokeParams brush = Brush(n++);
        if (record) {
            h.BeginStroke();
            benchmark::DoNotOptimize(h.PaintStroke(p.source, p.work, x, y, x + 300, y + 20, brush));
            state.PauseTiming();
            h.EndStroke(p.source, p.work);
            state.ResumeTiming();
        } else {
            benchmark::DoNotOptimize(
                view::StrokeLine(p.source, p.work, x, y, x + 300, y + 20, brush));
        }
    }
}
BENCHMARK(BM_StrokeStep)->ArgName("record")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_History1000Strokes(benchmark::State &state)
{
    for (auto _ : state) {
        Picture p;
        history::History h;
        std::mt19937 rng(11);
        for (uint32_t n = 0; n < 1000; ++n)
            MouseStroke(h, p, n, rng);
        state.counters["MiB"] = double(h.StoredBytes()) / (1 << 20);
        state.counters["rebuilds"] = double(h.RebuildCount());
    }
}
BENCHMARK(BM_History1000Strokes)->Iterations(1)->Unit(benchmark::kMillisecond);

class AfterStrokes : public benchmark::Fixture {
public:
    void SetUp(benchmark::State &) override
    {
        picture_ = std::make_unique<Picture>();
        history_ = std::make_unique<history::History>();
        std::mt19937 rng(11);
        for (uint32_t n = 0; n < 1000; ++n)
            MouseStroke(*history_, *picture_, n, rng);
    }
    void TearDown(benchmark::State &) override
    {
        history_.reset();
        picture_.reset();
    }

protected:
    std::unique_ptr<Picture> picture_;
    std::unique_ptr<history::History> history_;
};

BENCHMARK_DEFINE_F(AfterStrokes, BM_UndoRedoStroke)(benchmark::State &state)
{
    Picture &p = *picture_;
    for (auto _ : state) {
        p.Repaint(history_->Undo(p.source, p.work));
        p.Repaint(history_->Redo(p.source, p.work));
    }
    state.counters["per_step"] = benchmark::Counter(
        2 * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK_REGISTER_F(AfterStrokes, BM_UndoRedoStroke)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(AfterStrokes, BM_UndoWhole)(benchmark::State &state)
{
    Picture &p = *picture_;
    for (int64_t i = 0; i < state.range(0); ++i) {
        history_->Apply(p.source, p.work, Soften, {});
    }
    for (auto _ : state) {
        p.Repaint(history_->Undo(p.source, p.work));
        state.PauseTiming();
        history_->Redo(p.source, p.work);
        state.ResumeTiming();
    }
    state.counters["MiB"] = double(history_->StoredBytes()) / (1 << 20);
}
BENCHMARK_REGISTER_F(AfterStrokes, BM_UndoWhole)
    ->ArgName("filters")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
