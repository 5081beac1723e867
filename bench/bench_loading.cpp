// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a 24-megapixel picture (6000 x 4000): the whole load (read, decode, convert
// to 24 bits, working copy) of an 8-bit and a 24-bit BMP, and the conversion alone
// without progress, with a bare progress callback and with the status bar's growing
// path drawing the bar once per row.
//
// Run from the build folder: bench/bench_loading [--benchmark_filter=...]
#include "WidgetBench.h"
#include "document/DepthConversion.h"
#include "document/PictureLoader.h"
#include "platform/rastix/Rastix.h"
#include "support/BmpBuilder.h"
#include "widgets/ProgressGeometry.h"
#include "widgets/ProgressStatusBar.h"

#include <QApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;

// The test pictures, written once per run into the temporary folder.
std::string PictureFile(int32_t bits)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path()
                                       / ("tintwell-bench-" + std::to_string(bits) + "bit.bmp");
    if (!std::filesystem::exists(path)) {
        const std::vector<uint8_t> bytes =
            testsupport::MakeBmp(testsupport::Pattern(kWidth, kHeight, bits));
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    }
    return path.string();
}

document::DocumentRasters Blank()
{
    return {newdib(320, 200, 24, nullptr, 0), newdib(320, 200, 24, nullptr, 0)};
}

void BM_LoadPicture(benchmark::State &state)
{
    const std::string file = PictureFile(int32_t(state.range(0)));
    for (auto _ : state) {
        const document::LoadResult r = document::LoadPicture(Blank(), file, nullptr, {});
        if (!r.Loaded)
            state.SkipWithError(r.Message.Text.c_str());
        benchmark::DoNotOptimize(r.Rasters.Work.Pixels);
        deldib(r.Rasters.Source);
        deldib(r.Rasters.Work);
    }
    state.SetLabel(std::to_string(state.range(0)) + "-bit file, 24 MP");
}
BENCHMARK(BM_LoadPicture)->Arg(8)->Arg(24)->Arg(1)->Unit(benchmark::kMillisecond);

// The status bar as the main window has it, with the bar drawn by the same geometry.
struct StatusBarFixture {
    ProgressStatusBar bar;
    int32_t percent = 0;
    QRect panel;
    StatusBarFixture()
    {
        bar.resize(764, ProgressStatusBar::kHeight);
        bar.SetDrawPanelHandler([this](ProgressStatusBar *b, int, const QRect &rect) {
            panel = rect;
            const Rect r{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
            const Rect fill = ProgressBarRect(r, percent);
            if (!fill.Empty())
                b->Canvas()->fillRect(fill.Left, fill.Top, fill.Width(), fill.Height(),
                                      QColor(0, 0, 128));
        });
        bar.show();
        bar.RepaintNow();
    }
    void SetProStatus(int32_t value)
    {
        const bool shrinking = value < percent;
        percent = value;
        if (shrinking) {
            bar.RepaintNow();
            return;
        }
        const Rect r{panel.left(), panel.top(), panel.right() + 1, panel.bottom() + 1};
        const Rect fill = ProgressBarRect(r, percent);
        if (!fill.Empty())
            bar.FillNow(QRect(fill.Left, fill.Top, fill.Width(), fill.Height()), 0xff000080u);
    }
};

// 0: no callback, 1: a callback that only stores the value, 2: the status bar.
void BM_DepthUpTo(benchmark::State &state)
{
    const RasterImage source = OpenDib(PictureFile(int32_t(state.range(0))).c_str());
    if (!source.Pixels) {
        state.SkipWithError("the picture could not be opened");
        return;
    }
    std::unique_ptr<StatusBarFixture> statusBar;
    volatile int32_t last = 0;
    document::ProgressSink progress;
    if (state.range(1) == 1)
        progress = [&last](int32_t p) { last = p; };
    if (state.range(1) == 2) {
        statusBar = std::make_unique<StatusBarFixture>();
        progress = [&statusBar](int32_t p) { statusBar->SetProStatus(p); };
    }
    for (auto _ : state) {
        const document::DepthConversion c = document::DepthUpTo(source, 24, progress);
        benchmark::DoNotOptimize(c.Raster.Pixels);
        deldib(c.Raster);
    }
    static const char *const kinds[] = {"no progress", "bare callback", "status bar"};
    state.SetLabel(std::to_string(state.range(0)) + "-bit, " + kinds[state.range(1)]);
    deldib(source);
}
BENCHMARK(BM_DepthUpTo)
    ->Args({8, 0})
    ->Args({8, 1})
    ->Args({8, 2})
    ->Args({1, 0})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    const auto app = StartWidgetBench(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (int32_t bits : {1, 8, 24})
        std::remove((std::filesystem::temp_directory_path()
                     / ("tintwell-bench-" + std::to_string(bits) + "bit.bmp"))
                        .string()
                        .c_str());
    return 0;
}
