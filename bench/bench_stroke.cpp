// SPDX-License-Identifier: GPL-3.0-or-later
// One mouse-move step of a brush stroke on a 6000 x 4000 picture: the line of stamps
// written into the work raster, then the repaint of the part of a 1280 x 800 visible
// area that shows what changed (DrawRaster through a clip narrowed to it). The fast
// stroke path and the literal per-stamp, per-pixel path side by side, with tones kept or
// not. The fast path takes its colours from a table made once for the colour, as the
// undo history keeps one for each paint; the literal path works each pixel out.
//
// Arguments: radius, raster pixels moved, zoom percent, path (0 fast, 1 literal), tones
// (1 kept).
#include "platform/gdi/SurfaceDC.h"
#include "platform/rastix/Rastix.h"
#include "view/BrushStroke.h"
#include "view/BrushStrokeLiteral.h"
#include "view/DrawRaster.h"
#include "view/RasterToViewRect.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;
constexpr int kVisibleWidth = 1280;
constexpr int kVisibleHeight = 800;

class StrokeStep : public benchmark::Fixture {
public:
    void SetUp(benchmark::State &) override
    {
        source_ = newdib(kWidth, kHeight, 24, nullptr, 0);
        work_ = newdib(kWidth, kHeight, 24, nullptr, 0);
        // A photograph-like spread of grey values; exact content does not matter.
        for (int32_t y = 0; y < kHeight; ++y) {
            uint8_t *row = source_.Pixels + int64_t(y) * source_.Stride;
            for (int32_t x = 0; x < kWidth; ++x) {
                row[3 * x] = uint8_t(x * 7 + y);
                row[3 * x + 1] = uint8_t(x + y * 3);
                row[3 * x + 2] = uint8_t((x ^ y) + 11);
            }
        }
        std::memcpy(work_.Pixels, source_.Pixels, RasterImageSize(source_));
        surface_ = QImage(kVisibleWidth, kVisibleHeight, QImage::Format_RGB32);
        surface_.fill(0);
    }
    void TearDown(benchmark::State &) override
    {
        deldib(source_);
        deldib(work_);
        surface_ = QImage();
    }

protected:
    RasterImage source_;
    RasterImage work_;
    QImage surface_;
};

BENCHMARK_DEFINE_F(StrokeStep, MouseMove)(benchmark::State &state)
{
    view::StrokeParams params;
    params.radius = int32_t(state.range(0));
    params.hue = 20;
    params.saturation = 141;
    params.brightness = 10;
    const int32_t move = int32_t(state.range(1));
    const int32_t zoom = int32_t(state.range(2));
    const bool literal = state.range(3) != 0;
    params.keepTones = state.range(4) != 0;
    const colour::GreyColourTable colours = colour::MakeGreyColourTable(view::PaintOf(params));

    // The stroke runs back and forth around the middle of the picture, which the
    // visible area is scrolled to.
    const int32_t x0 = kWidth / 2;
    const int32_t y0 = kHeight / 2;
    const int32_t x1 = x0 + move;
    const int32_t y1 = y0 + move / 2;
    const int32_t viewWidth = int32_t(int64_t(kWidth) * zoom / 100);
    const int32_t viewHeight = int32_t(int64_t(kHeight) * zoom / 100);
    const QPoint origin(int32_t(int64_t(x0) * zoom / 100) - kVisibleWidth / 2,
                        int32_t(int64_t(y0) * zoom / 100) - kVisibleHeight / 2);
    const QRect visible(origin, QSize(kVisibleWidth, kVisibleHeight));
    gdi::SurfaceDC dc(surface_, origin, visible, 32);

    bool forward = true;
    int64_t repainted = 0;
    for (auto _ : state) {
        const int32_t fromX = forward ? x0 : x1;
        const int32_t fromY = forward ? y0 : y1;
        const int32_t toX = forward ? x1 : x0;
        const int32_t toY = forward ? y1 : y0;
        forward = !forward;
        const Rect changed =
            literal ? view::StrokeLineLiteral(source_, work_, fromX, fromY, toX, toY, params)
                    : view::StrokeLine(source_, work_, fromX, fromY, toX, toY, params, colours);
        const Rect shown = view::RasterToViewRect(changed, kWidth, kHeight, zoom);
        const QRect clip = visible.intersected(
            QRect(QPoint(shown.Left, shown.Top), QPoint(shown.Right - 1, shown.Bottom - 1)));
        if (!shown.Empty() && !clip.isEmpty()) {
            dc.SetClip(clip);
            DrawRaster(&dc, 0, 0, viewWidth, viewHeight, work_, 0, 0, kWidth, kHeight, true,
                       SRCCOPY, true, nullptr);
            repainted += int64_t(clip.width()) * clip.height();
        }
        benchmark::DoNotOptimize(surface_.constBits());
    }
    state.counters["repainted_px"] =
        benchmark::Counter(double(repainted), benchmark::Counter::kAvgIterations);
}

void StrokeArgs(benchmark::internal::Benchmark *b)
{
    for (int64_t tones : {0, 1})
        for (int64_t path : {0, 1})
            for (int64_t zoom : {100, 1000})
                for (int64_t radius : {10, 100})
                    for (int64_t move : {1, 20, 300})
                        b->Args({radius, move, zoom, path, tones});
    b->ArgNames({"radius", "move", "zoom", "literal", "tones"});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK_REGISTER_F(StrokeStep, MouseMove)->Apply(StrokeArgs);

} // namespace

BENCHMARK_MAIN();
