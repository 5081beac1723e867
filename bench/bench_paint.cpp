// SPDX-License-Identifier: GPL-3.0-or-later
// Repainting the picture view: a 6000 x 4000 picture drawn at the zoom size into a
// 1280 x 800 visible part (a surface DC clipped to it, scrolled to the middle of the
// view), as PaintBox1Paint does on every brush step.
#include "platform/gdi/SurfaceDC.h"
#include "platform/rastix/Rastix.h"
#include "view/DrawRaster.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PaintView(benchmark::State &state)
{
    const int zoom = int(state.range(0));
    const int w = 6000;
    const int h = 4000;
    const RasterImage raster = newdib(w, h, 24, nullptr, 0);
    for (int y = 0; y < h; ++y) {
        uint8_t *row = raster.Pixels + int64_t(raster.Stride) * y;
        for (int x = 0; x < w * 3; ++x)
            row[x] = uint8_t(x * 7 + y * 3);
    }
    const int dw = int(int64_t(w) * zoom / 100);
    const int dh = int(int64_t(h) * zoom / 100);
    // The visible part: the viewport's size, in the middle of the view when it is
    // larger than the viewport.
    const QRect visible(std::max(0, dw / 2 - 640), std::max(0, dh / 2 - 400), std::min(dw, 1280),
                        std::min(dh, 800));
    QImage surface(visible.size(), QImage::Format_RGB32);
    gdi::SurfaceDC dc(surface, visible.topLeft(), visible, 32);
    for (auto _ : state) {
        DrawRaster(&dc, 0, 0, dw, dh, raster, 0, 0, w, h, true, SRCCOPY, true, nullptr);
        benchmark::DoNotOptimize(surface.constBits());
    }
    deldib(raster);
}

} // namespace

BENCHMARK(BM_PaintView)
    ->Arg(10)
    ->Arg(100)
    ->Arg(400)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
