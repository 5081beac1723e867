// SPDX-License-Identifier: GPL-3.0-or-later
// Work files of a 6000 x 4000 picture (a grey photograph-like original, its colouring
// over most of it): saving one through the temporary file and rename, opening it again,
// and what a brush step costs while the recovery writer encodes such a file on another
// thread, paired against the same steps with no write running.
//   BM_SaveWorkFile          SaveWorkFile into /tmp
//   BM_OpenWorkFile          OpenWorkFile of that file, both rasters made and freed
//   BM_StrokeDuringRecovery  one stroke step (radius 10, 20 pixels) with writing:0 no
//                            write, writing:1 a recovery encode running all the while;
//                            step_us is the mean step
#include "colour/GreyColourTable.h"
#include "document/RasterLibrary.h"
#include "document/ReadWorkFile.h"
#include "document/SaveWorkFile.h"
#include "ops/ColorizeAll.h"
#include "platform/rastix/Rastix.h"
#include "view/BrushStroke.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>

namespace {

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;

struct Work {
    RasterImage source = newdib(kWidth, kHeight, 24, nullptr, 0);
    RasterImage work = newdib(kWidth, kHeight, 24, nullptr, 0);
    Work()
    {
        // Smooth shading with a little noise, grey, as a scanned photograph is.
        for (int32_t y = 0; y < kHeight; ++y) {
            uint8_t *row = PictureRow(source, y);
            for (int32_t x = 0; x < kWidth; ++x) {
                const auto v = uint8_t((x / 25 + y / 17 + ((x * 7 + y * 13) & 7)) & 255);
                row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
            }
        }
        ops::ColorizeAll(source, work, colour::Paint{143, 157, 0, false}, true);
    }
    ~Work()
    {
        deldib(source);
        deldib(work);
    }
};

Work &Picture()
{
    static Work work;
    return work;
}

const QString kFile = QStringLiteral("/tmp/tintwell-bench-work.ora");

void BM_SaveWorkFile(benchmark::State &state)
{
    Work &w = Picture();
    for (auto _ : state)
        if (!document::SaveWorkFile(kFile, w.source, w.work, {}, {}).isEmpty())
            state.SkipWithError("not saved");
}
BENCHMARK(BM_SaveWorkFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenWorkFile(benchmark::State &state)
{
    Work &w = Picture();
    if (!document::SaveWorkFile(kFile, w.source, w.work, {}, {}).isEmpty())
        state.SkipWithError("not saved");
    const document::RasterLibrary library;
    for (auto _ : state) {
        auto content = document::OpenWorkFile(kFile.toStdString(), library);
        if (!content || !content->Read) {
            state.SkipWithError("not read");
            break;
        }
        library.Delete(content->Rasters.Source);
        library.Delete(content->Rasters.Work);
    }
}
BENCHMARK(BM_OpenWorkFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StrokeDuringRecovery(benchmark::State &state)
{
    Work &w = Picture();
    const bool writing = state.range(0) != 0;
    // The writer encodes copies, as the window hands it; the brush paints the rasters.
    RasterImage source = newdib(kWidth, kHeight, 24, nullptr, 0);
    RasterImage work = newdib(kWidth, kHeight, 24, nullptr, 0);
    std::memcpy(source.Pixels, w.source.Pixels, RasterImageSize(w.source));
    std::memcpy(work.Pixels, w.work.Pixels, RasterImageSize(w.work));
    std::atomic<bool> stop{false};
    std::future<void> writer;
    if (writing)
        writer = std::async(std::launch::async, [&] {
            while (!stop) {
                QString error;
                benchmark::DoNotOptimize(document::EncodeWorkFile(w.source, w.work, {}, {}, error));
            }
        });
    view::StrokeParams params;
    params.hue = 20;
    params.saturation = 141;
    const colour::GreyColourTable colours = colour::MakeGreyColourTable(view::PaintOf(params));
    bool forward = true;
    double seconds = 0;
    for (auto _ : state) {
        const int32_t x0 = kWidth / 2, y0 = kHeight / 2, x1 = x0 + 20, y1 = y0 + 10;
        const auto start = std::chrono::steady_clock::now();
        if (forward)
            view::StrokeLine(source, work, x0, y0, x1, y1, params, colours);
        else
            view::StrokeLine(source, work, x1, y1, x0, y0, params, colours);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        forward = !forward;
    }
    stop = true;
    if (writer.valid())
        writer.get();
    state.counters["step_us"] = 1e6 * seconds / double(state.iterations());
    deldib(source);
    deldib(work);
}
BENCHMARK(BM_StrokeDuringRecovery)
    ->ArgName("writing")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(3);

} // namespace

BENCHMARK_MAIN();
