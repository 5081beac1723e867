// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-picture operations on a 6000 x 4000 photograph-like picture, one thread,
// beside a plain copy of the picture's bytes into another picture (BM_Memcpy), the
// yardstick: the cost of reading and writing every byte once. (Working in place moves
// fewer bytes through memory than a copy, so Grayscale can beat it.)
//
//   BM_Grayscale/progress:N, BM_Soften/progress:N  progress 1 reports every row to the
//       main window's SetProStatus, whose status bar draws the bar at once (on the
//       offscreen platform unless QT_QPA_PLATFORM says otherwise); 0 reports nowhere;
//       2 reports to a sink that only takes the value, the cost of the calls alone.
//   BM_ColorizeAll     reports no progress (the operation has none);
//   BM_ColorizeAllKeepingTones the same with tones kept.
//   BM_ProgressOnly    just the progress of one operation: 0, each of the 4000 rows, 0.
//   BM_GrayscaleInsideProgress  the time Grayscale spends inside SetProStatus, by kind
//       of call: a more exact figure for what progress costs than the difference of
//       two separate runs on a shared machine.
//   BM_ProgressPaired/op:N/sink:M  Grayscale (0) or Soften (1) without and with progress
//       to the status bar (sink 0) or, the peer, to the least a Qt widget can do to show
//       a growing bar (sink 1: a 754-pixel strip in a window of its own that paints the
//       new part into its image and repaints it, and repaints itself whole at 0); the
//       two back to back in every iteration, in turns first: the host's load drifts
//       between separate runs, a pair shares it. Its counters are what progress adds,
//       in per cent of the time without (adds_pct) and in milliseconds per operation
//       (adds_ms). What the screen costs is measured on a real
//       X server: xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb
//       build/bench/bench_ops --benchmark_filter=BM_ProgressPaired
//       --benchmark_repetitions=9 (on one line).
//   BM_SoftenLiteral   ApplyFilter with SoftenKernel, all 25 products, for scale.
//   BM_Target/<op>/<target>  each operation forced onto each vector target this
//       processor has.
//
// After the runs a table gives, for every benchmark, its fastest and median run and both
// as ratios to the fastest BM_Memcpy run, and what reporting progress adds. Run with
// repetitions, interleaved so that a busy spell of a shared machine does not fall on
// one benchmark alone, e.g.
//   build/bench/bench_ops --benchmark_repetitions=9 --benchmark_min_time=0.5
//       --benchmark_enable_random_interleaving=true --benchmark_filter='BM_[^T]'
// (on one line; the filter leaves out the per-target runs).
#include "WidgetBench.h"
#include "app/MainForm.h"
#include "ops/ApplyFilter.h"
#include "ops/ColorizeAll.h"
#include "ops/Grayscale.h"
#include "ops/SimdTargets.h"
#include "ops/Soften.h"
#include "platform/rastix/Rastix.h"
#include "widgets/ProgressStatusBar.h"

#include <benchmark/benchmark.h>
#include <hwy/targets.h>

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;

// A scan-like picture: broad gradients with soft bands, plus fine grain, so neighbouring
// pixels are close but never equal.
void FillPhotoLike(const RasterImage &raster)
{
    for (int32_t y = 0; y < kHeight; ++y) {
        uint8_t *row = raster.Pixels + size_t(raster.Stride) * size_t(y);
        for (int32_t x = 0; x < kWidth; ++x) {
            uint32_t h = uint32_t(x) * 2654435761u ^ uint32_t(y) * 2246822519u;
            h ^= h >> 15;
            const int32_t grain = int32_t(h & 15) - 8;
            const int32_t band = ((x / 7 + y / 5) % 64) - 32;
            auto clamp = [](int32_t v) { return uint8_t(std::clamp(v, 0, 255)); };
            row[3 * x] = clamp(40 + x * 150 / kWidth + band / 2 + grain);
            row[3 * x + 1] = clamp(60 + y * 140 / kHeight + band + grain);
            row[3 * x + 2] = clamp(90 + (x + y) * 120 / (kWidth + kHeight) - band / 3 + grain);
        }
    }
}

struct Pictures {
    RasterImage original = newdib(kWidth, kHeight, 24, nullptr, 0);
    RasterImage work = newdib(kWidth, kHeight, 24, nullptr, 0);
    size_t bytes = RasterImageSize(original);
    Pictures()
    {
        FillPhotoLike(original);
        std::memcpy(work.Pixels, original.Pixels, bytes);
    }
    ~Pictures()
    {
        deldib(original);
        deldib(work);
    }
    void Restore() const { std::memcpy(work.Pixels, original.Pixels, bytes); }
};

void Bytes(benchmark::State &state, const Pictures &p)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.bytes));
}

// Collects every single run and prints the ratio table at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[Name(run)].push_back(run.GetAdjustedRealTime());
                if (const auto adds = run.counters.find("adds_pct"); adds != run.counters.end())
                    adds_[Name(run)].push_back(adds->second);
                if (const auto ms = run.counters.find("adds_ms"); ms != run.counters.end())
                    addsMs_[Name(run)].push_back(ms->second);
            }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (auto &[name, adds] : adds_) {
            std::sort(adds.begin(), adds.end());
            std::vector<double> &ms = addsMs_[name];
            std::sort(ms.begin(), ms.end());
            const bool peer = name.find("sink:1") != std::string::npos;
            std::printf("%s on %s: progress to %s adds %+.1f %% (median of %zu), "
                        "%+.1f %% to %+.1f %%; %+.2f ms per operation (median), %+.2f to "
                        "%+.2f ms\n",
                        name.c_str(), qPrintable(QGuiApplication::platformName()),
                        peer ? "a minimal Qt widget (the peer)" : "the status bar",
                        adds[adds.size() / 2], adds.size(), adds.front(), adds.back(),
                        ms.empty() ? 0.0 : ms[ms.size() / 2], ms.empty() ? 0.0 : ms.front(),
                        ms.empty() ? 0.0 : ms.back());
        }
        const auto memcpy = times_.find("BM_Memcpy");
        if (memcpy == times_.end())
            return;
        const double base = *std::min_element(memcpy->second.begin(), memcpy->second.end());
        std::printf("\n%-34s %6s %9s %9s %8s %8s\n", "ratio to fastest BM_Memcpy", "runs", "min ms",
                    "median ms", "min x", "median x");
        for (auto &[name, times] : times_) {
            std::sort(times.begin(), times.end());
            const double median = times[times.size() / 2];
            std::printf("%-34s %6zu %9.2f %9.2f %8.2f %8.2f\n", name.c_str(), times.size(),
                        times.front(), median, times.front() / base, median / base);
        }
        for (const char *op : {"BM_Grayscale", "BM_Soften"})
            for (const char *with : {"1", "2"}) {
                const auto on = times_.find(std::string(op) + "/progress:" + with);
                const auto off = times_.find(std::string(op) + "/progress:0");
                if (on == times_.end() || off == times_.end())
                    continue;
                const auto &a = on->second;
                const auto &b = off->second;
                std::printf("%s: %s adds %+.1f %% (fastest runs), %+.1f %% (medians)\n", op,
                            *with == '1' ? "progress to the status bar" : "calling a sink alone",
                            100.0 * (a.front() / b.front() - 1),
                            100.0 * (a[a.size() / 2] / b[b.size() / 2] - 1));
            }
    }

private:
    static std::string Name(const Run &run)
    {
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty())
            name += "/" + run.run_name.args;
        return name;
    }
    std::map<std::string, std::vector<double>> times_;
    std::map<std::string, std::vector<double>> adds_;
    std::map<std::string, std::vector<double>> addsMs_;
};

// The peer of the status bar: a strip that shows a growing bar with repaint() and
// nothing else.
class MinimalStrip : public QWidget {
public:
    MinimalStrip()
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(754, 19);
        image_.fill(Qt::lightGray);
    }
    void Report(int32_t percent)
    {
        if (percent == shown_)
            return;
        if (percent < shown_) {
            image_.fill(Qt::lightGray);
            shown_ = percent;
            repaint();
            return;
        }
        const int from = shown_ * width() / 100, to = percent * width() / 100;
        shown_ = percent;
        if (to <= from)
            return;
        const QRect strip(from, 2, to - from, height() - 2);
        QPainter(&image_).fillRect(strip, QColor(0, 0, 128));
        repaint(strip);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter(this).drawImage(event->rect().topLeft(), image_, event->rect());
    }

private:
    QImage image_{754, 19, QImage::Format_RGB32};
    int32_t shown_ = 0;
};

void Register(const Pictures &p, TMainForm &form, MinimalStrip &strip)
{
    const document::ProgressSink bar = [&form](int32_t percent) { form.SetProStatus(percent); };
    const document::ProgressSink minimal = [&strip](int32_t percent) { strip.Report(percent); };
    const document::ProgressSink taker = [](int32_t percent) { benchmark::DoNotOptimize(percent); };
    auto sinkFor = [bar, taker](const benchmark::State &state) {
        return state.range(0) == 2 ? taker : state.range(0) == 1 ? bar : document::ProgressSink{};
    };
    auto configure = [](benchmark::internal::Benchmark *b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime();
        return b;
    };

    configure(benchmark::RegisterBenchmark("BM_Memcpy", [&p](benchmark::State &state) {
        for (auto _ : state) {
            std::memcpy(p.work.Pixels, p.original.Pixels, p.bytes);
            benchmark::ClobberMemory();
        }
        Bytes(state, p);
    }));
    configure(benchmark::RegisterBenchmark("BM_Grayscale",
                                           [&p, sinkFor](benchmark::State &state) {
                                               p.Restore();
                                               const document::ProgressSink sink = sinkFor(state);
                                               for (auto _ : state) {
                                                   ops::Grayscale(p.work, sink);
                                                   benchmark::ClobberMemory();
                                               }
                                               Bytes(state, p);
                                           }))
        ->ArgName("progress")
        ->DenseRange(0, 2);
    configure(benchmark::RegisterBenchmark("BM_Soften",
                                           [&p, sinkFor](benchmark::State &state) {
                                               p.Restore();
                                               const document::ProgressSink sink = sinkFor(state);
                                               for (auto _ : state) {
                                                   if (ops::Soften(p.work, sink)
                                                       != ops::FilterResult::Filtered)
                                                       state.SkipWithError("no memory");
                                                   benchmark::ClobberMemory();
                                               }
                                               Bytes(state, p);
                                           }))
        ->ArgName("progress")
        ->DenseRange(0, 2);
    configure(benchmark::RegisterBenchmark("BM_ColorizeAll", [&p](benchmark::State &state) {
        for (auto _ : state) {
            ops::ColorizeAll(p.original, p.work, 20, 141, 10, true);
            benchmark::ClobberMemory();
        }
        Bytes(state, p);
    }));
    // The same with tones kept: only the colour table differs.
    configure(
        benchmark::RegisterBenchmark("BM_ColorizeAllKeepingTones", [&p](benchmark::State &state) {
            for (auto _ : state) {
                ops::ColorizeAll(p.original, p.work, colour::Paint{20, 141, 10, true}, true);
                benchmark::ClobberMemory();
            }
            Bytes(state, p);
        }));
    configure(benchmark::RegisterBenchmark(
        "BM_GrayscaleInsideProgress", [&p, bar](benchmark::State &state) {
            // Time spent inside SetProStatus during Grayscale, per operation, by kind of
            // call: the same value again, a longer bar, and the final 0 that repaints. The
            // clock's own cost (about 20 ns a call) is in the figures.
            p.Restore();
            auto inside = std::make_shared<std::array<double, 3>>();
            auto last = std::make_shared<int32_t>(-1);
            const document::ProgressSink timed = [bar, inside, last](int32_t percent) {
                const auto start = std::chrono::steady_clock::now();
                bar(percent);
                const std::chrono::duration<double, std::micro> took =
                    std::chrono::steady_clock::now() - start;
                (*inside)[percent == *last ? 0 : percent == 0 ? 2 : 1] += took.count();
                *last = percent;
            };
            for (auto _ : state)
                ops::Grayscale(p.work, timed);
            const double n = double(state.iterations());
            state.counters["same_us"] = (*inside)[0] / n;
            state.counters["longer_us"] = (*inside)[1] / n;
            state.counters["clear_us"] = (*inside)[2] / n;
        }));
    configure(benchmark::RegisterBenchmark(
                  "BM_ProgressPaired",
                  [&p, bar, minimal](benchmark::State &state) {
                      const document::ProgressSink &sink = state.range(1) == 0 ? bar : minimal;
                      using Clock = std::chrono::steady_clock;
                      auto run = [&p, &state](const document::ProgressSink &to) {
                          const auto start = Clock::now();
                          if (state.range(0) == 0)
                              ops::Grayscale(p.work, to);
                          else
                              ops::Soften(p.work, to);
                          benchmark::ClobberMemory();
                          return std::chrono::duration<double>(Clock::now() - start).count();
                      };
                      p.Restore();
                      double without = 0;
                      double with = 0;
                      bool withFirst = false;
                      for (auto _ : state) {
                          if (withFirst)
                              with += run(sink);
                          without += run({});
                          if (!withFirst)
                              with += run(sink);
                          withFirst = !withFirst;
                      }
                      state.counters["adds_pct"] = 100.0 * (with / without - 1);
                      state.counters["adds_ms"] =
                          1000.0 * (with - without) / double(state.iterations());
                  }))
        ->ArgNames({"op", "sink"})
        ->ArgsProduct({{0, 1}, {0, 1}});
    configure(benchmark::RegisterBenchmark("BM_ProgressOnly", [bar](benchmark::State &state) {
        for (auto _ : state) {
            bar(0);
            for (int32_t k = 0; k < kHeight; ++k)
                bar(document::RowProgress(k, kHeight));
            bar(0);
        }
    }));
    configure(benchmark::RegisterBenchmark("BM_SoftenLiteral", [&p](benchmark::State &state) {
        p.Restore();
        for (auto _ : state) {
            ops::ApplyFilter(p.work, ops::SoftenKernel, {});
            benchmark::ClobberMemory();
        }
        Bytes(state, p);
    }));

    for (const int64_t target : ops::SimdTargets()) {
        const std::string name = ops::SimdTargetName(target);
        auto forced = [target](auto body) {
            return [target, body](benchmark::State &state) {
                hwy::SetSupportedTargetsForTest(target);
                body(state);
                hwy::SetSupportedTargetsForTest(0);
            };
        };
        configure(benchmark::RegisterBenchmark(("BM_Target/Grayscale/" + name).c_str(),
                                               forced([&p](benchmark::State &state) {
                                                   p.Restore();
                                                   for (auto _ : state)
                                                       ops::Grayscale(p.work, {});
                                                   Bytes(state, p);
                                               })));
        configure(benchmark::RegisterBenchmark(("BM_Target/Soften/" + name).c_str(),
                                               forced([&p](benchmark::State &state) {
                                                   p.Restore();
                                                   for (auto _ : state)
                                                       ops::Soften(p.work, {});
                                                   Bytes(state, p);
                                               })));
        configure(benchmark::RegisterBenchmark(
            ("BM_Target/ColorizeAll/" + name).c_str(), forced([&p](benchmark::State &state) {
                for (auto _ : state)
                    ops::ColorizeAll(p.original, p.work, 20, 141, 10, true);
                Bytes(state, p);
            })));
    }
}

} // namespace

int main(int argc, char **argv)
{
    const auto app = StartWidgetBench(argc, argv);

    // The main window shown, its status bar painted once, so SetProStatus draws for real.
    TMainForm form;
    form.show();
    const auto *bar = form.findChild<ProgressStatusBar *>();
    for (int i = 0; i < 100 && bar && bar->Surface().isNull(); ++i)
        QApplication::processEvents();
    if (!bar || bar->Surface().isNull()) {
        std::fprintf(stderr, "the status bar never painted its progress panel\n");
        return 1;
    }
    std::printf("vector target in use: %s\n", ops::SimdTargetName(ops::SimdTargetInUse()).c_str());

    MinimalStrip strip;
    strip.show();
    for (int i = 0; i < 100 && !strip.isVisible(); ++i)
        QApplication::processEvents();
    QApplication::processEvents();

    const Pictures pictures;
    Register(pictures, form, strip);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
