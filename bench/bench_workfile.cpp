// SPDX-License-Identifier: GPL-3.0-or-later
// Work files of a 6000 x 4000 picture (a grey photograph-like original, its colouring
// over most of it): saving one through the temporary file and rename, opening it again,
// and what a brush step costs while the recovery writer encodes such a file on another
// thread, paired against the same steps with no write running. grain:1 is the picture
// with the grain of a scan (-4 to 4 levels), which compresses much as a real scan does;
// grain:0 the same without it, which compresses far better than any scan.
//   BM_SaveWorkFile          SaveWorkFile into /tmp; file_mb its size
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

#include <QFileInfo>

#include <QString>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>

namespace {

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;

// Grain, as a scan has: -4 to 4 levels from a hash of the place, or none.
int32_t Grain(int32_t x, int32_t y, bool grainy)
{
    if (!grainy)
        return 0;
    uint32_t h = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return int32_t(h % 9) - 4;
}

struct Work {
    RasterImage source = newdib(kWidth, kHeight, 24, nullptr, 0);
    RasterImage work = newdib(kWidth, kHeight, 24, nullptr, 0);
    explicit Work(bool grainy)
    {
        // Smooth shading with a little pattern, grey, as a scanned photograph is.
        for (int32_t y = 0; y < kHeight; ++y) {
            uint8_t *row = PictureRow(source, y);
            for (int32_t x = 0; x < kWidth; ++x) {
                const int32_t v =
                    ((x / 25 + y / 17 + ((x * 7 + y * 13) & 7)) & 255) + Grain(x, y, grainy);
                row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = uint8_t(std::clamp(v, 0, 255));
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

Work &Picture(bool grainy)
{
    static Work smooth(false);
    static Work grained(true);
    return grainy ? grained : smooth;
}

const QString kFile = QStringLiteral("/tmp/tintwell-bench-work.ora");

void BM_SaveWorkFile(benchmark::State &state)
{
    Work &w = Picture(state.range(0) != 0);
    for (auto _ : state)
        if (!document::SaveWorkFile(kFile, w.source, w.work, {}, {}).isEmpty())
            state.SkipWithError("not saved");
    state.counters["file_mb"] = double(QFileInfo(kFile).size()) / 1e6;
}
BENCHMARK(BM_SaveWorkFile)
    ->ArgName("grain")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_OpenWorkFile(benchmark::State &state)
{
    Work &w = Picture(state.range(0) != 0);
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
BENCHMARK(BM_OpenWorkFile)
    ->ArgName("grain")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_StrokeDuringRecovery(benchmark::State &state)
{
    Work &w = Picture(true);
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
