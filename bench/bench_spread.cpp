// SPDX-License-Identifier: GPL-3.0-or-later
// Follow edges on a 6000 x 4000 synthetic photograph (bench/SyntheticPhoto.h, the
// pieces of 36 warped cells, one scribble each, radius 15 and up to 100 pixels long),
// single thread:
//   BM_EdgeCost        the cost map, made once per picture at the first spread
//   BM_LocalSpread     the spread after a new stroke of radius 20 and 300 pixels in one
//                      region, the other regions' scribbles already painted (first_ms:
//                      the picture's first spread, in fresh memory; the timed ones work in
//                      the memory kept from it)
//   BM_LocalSpreadTwoMegapixels  the same stroke alone in a flat square of 2 MP bounded
//                      by a grey step: the largest area a stroke's spread must fill at once
//   BM_ReleaseThroughHistory  the same stroke's release through the undo history, as
//                      the window does it: the spread and the record of what it overwrote
//                      (shown_ms: until the spread is there to show, before the record)
//   BM_PreparedFirstRelease  a fresh picture's history made ready for spreads
//                      (prepare_ms: the edge map and the spreads' memory, as the window
//                      does when Follow edges is ticked or a picture opens), then the same
//                      stroke as its first, released (release_ms)
//   BM_WholeSpread     every scribble spread over the whole picture at once (first_ms as
//                      above)
//   BM_OpenCV_*        ximgproc's domain transform (recursive) and fast global smoother
//                      on the same picture: three float channels (the scribbles' hue as a
//                      unit vector, and their mask), guided by the grey picture
// Counters on the whole-picture runs: right (share of the pixels not painted by a
// scribble whose colour has its own region's hue), leaked (another region's hue) and
// unreached (next to no colour); for the local spread, reached_box_mp (the megapixels of
// the rectangle the new stroke reaches).
#include "SyntheticPhoto.h"

#include "colour/EdgeCost.h"
#include "colour/EdgeSpread.h"
#include "colour/GreyColourTable.h"
#include "colour/StrokeRecord.h"
#include "history/History.h"
#include "view/BrushStroke.h"

#include <benchmark/benchmark.h>

#ifdef TINTWELL_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/ximgproc.hpp>
#endif

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

namespace {

constexpr int32_t kWidth = 6000, kHeight = 4000, kCells = 36;

struct Scene {
    synthetic::Photo photo;
    RasterImage work{};
    colour::StrokeRecord record;
    std::unique_ptr<colour::EdgeCost> cost;
    colour::SpreadScratch scratch;
    std::vector<view::StrokeParams> brushes; // per region
    int32_t regions = 0;
    Scene()
    {
        photo = synthetic::MakePhoto(kWidth, kHeight, kCells, 7);
        regions = int32_t(photo.grey.size());
        work = newdib(kWidth, kHeight, 24, nullptr, 0);
        std::memcpy(work.Pixels, photo.raster.Pixels, RasterImageSize(work));
        record.Reset(kWidth, kHeight);
        record.Allocate();
        cost = std::make_unique<colour::EdgeCost>(photo.raster);
        brushes.resize(size_t(regions));
        for (int32_t k = 0; k < regions; ++k) {
            view::StrokeParams &b = brushes[size_t(k)];
            b.hue = k * 256 / regions;
            b.saturation = 200;
            b.followEdges = true;
        }
    }
    void Paint(const synthetic::Scribble &s, int32_t radius)
    {
        view::StrokeParams b = brushes[s.region];
        b.radius = radius;
        const colour::GreyColourTable table = colour::MakeGreyColourTable(view::PaintOf(b));
        view::StrokeLine(photo.raster, work, s.x1, s.y1, s.x2, s.y2, b, table, &record,
                         record.IdOf(view::MarkOf(b)));
    }
    uint16_t Region(int32_t x, int32_t y) const
    {
        return photo.region[size_t(y) * size_t(kWidth) + size_t(x)];
    }
};

Scene &TheScene()
{
    static Scene scene;
    return scene;
}

struct Shares {
    double right = 0, leaked = 0, unreached = 0;
};

// The hue angle of a colour (an opponent-colour angle, enough to tell the regions'
// colours apart) and its colourfulness.
struct Hue {
    double angle, chroma;
};

Hue HueOf(double b, double g, double r)
{
    const double a = r - (g + b) / 2, c = 0.8660254 * (g - b);
    return {std::atan2(c, a), std::hypot(a, c)};
}

// Each pixel not painted by a scribble, by the region whose colour's hue is nearest its
// own (its region's, or another's), or unreached when it has less colour than one tenth
// of its region's colour (the spread fades out to the grey).
Shares JudgeColours(Scene &s)
{
    std::vector<colour::GreyColourTable> tables;
    for (const view::StrokeParams &b : s.brushes)
        tables.push_back(colour::MakeGreyColourTable(view::PaintOf(b)));
    const colour::GreyTerms &terms = colour::GreyTermTable();
    size_t right = 0, leaked = 0, unreached = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
        const uint8_t *src = PictureRow(s.photo.raster, y);
        const uint8_t *out = PictureRow(s.work, y);
        for (int32_t x = 0; x < kWidth; ++x, src += 3, out += 3) {
            if (s.record.Row(y)[x] != 0)
                continue;
            const size_t g = size_t(terms.Blue[src[0]] + terms.Green[src[1]] + terms.Red[src[2]]);
            const uint16_t own = s.Region(x, y);
            const Hue got = HueOf(out[0] - src[0], out[1] - src[1], out[2] - src[2]);
            const colour::GreyColourTable &t = tables[own];
            const Hue full = HueOf(t.Blue[g] - src[0], t.Green[g] - src[1], t.Red[g] - src[2]);
            if (got.chroma < 0.1 * full.chroma || got.chroma < 1) {
                ++unreached;
                continue;
            }
            int32_t best = 0;
            double bestD = 1e9;
            for (int32_t k = 0; k < s.regions; ++k) {
                const colour::GreyColourTable &tk = tables[size_t(k)];
                const Hue h = HueOf(tk.Blue[g] - src[0], tk.Green[g] - src[1], tk.Red[g] - src[2]);
                const double d = std::abs(std::remainder(got.angle - h.angle, 2 * M_PI));
                if (d < bestD) {
                    bestD = d;
                    best = k;
                }
            }
            (best == own ? right : leaked) += 1;
        }
    }
    const double all = double(right + leaked + unreached);
    return {double(right) / all, double(leaked) / all, double(unreached) / all};
}

void Report(benchmark::State &state, const Shares &shares)
{
    state.counters["right"] = shares.right;
    state.counters["leaked"] = shares.leaked;
    state.counters["unreached"] = shares.unreached;
}

// The first spread of a picture works in fresh memory, which the system must clear page
// by page as the spread first touches it; the timed ones after it work in the memory the
// history keeps for the picture. Runs spread once in fresh memory, and once more in the
// scene's so that its memory is as the timed runs find it, and gives the first's time.
template <typename Spread>
double FirstSpreadMs(Spread spread)
{
    const auto start = std::chrono::steady_clock::now();
    {
        colour::SpreadScratch fresh;
        spread(fresh);
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    spread(TheScene().scratch);
    return took.count();
}

void BM_EdgeCost(benchmark::State &state)
{
    Scene &s = TheScene();
    for (auto _ : state) {
        colour::EdgeCost cost(s.photo.raster);
        benchmark::DoNotOptimize(cost.Data());
    }
}
BENCHMARK(BM_EdgeCost)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LocalSpread(benchmark::State &state)
{
    Scene &s = TheScene();
    for (const synthetic::Scribble &sc : s.photo.scribbles)
        s.Paint(sc, sc.radius);
    // A new stroke of radius 20 and 300 pixels in the largest region's scribble place.
    const synthetic::Scribble &first = s.photo.scribbles.front();
    const double a = std::atan2(first.y2 - first.y1, first.x2 - first.x1);
    const synthetic::Scribble stroke{first.x1,
                                     first.y1,
                                     int32_t(first.x1 + 300 * std::cos(a)),
                                     int32_t(first.y1 + 300 * std::sin(a)),
                                     20,
                                     first.region};
    s.Paint(stroke, 20);
    const view::StrokeParams b = s.brushes[stroke.region];
    const uint16_t id = s.record.IdOf(view::MarkOf(b));
    const Rect area{std::min(stroke.x1, stroke.x2) - 20, std::min(stroke.y1, stroke.y2) - 20,
                    std::max(stroke.x1, stroke.x2) + 21, std::max(stroke.y1, stroke.y2) + 21};
    double reached = 0;
    state.counters["first_ms"] = FirstSpreadMs([&](colour::SpreadScratch &fresh) {
        colour::EdgeSpread(s.photo.raster, *s.cost, s.record, fresh, area, id).Write(s.work);
    });
    for (auto _ : state) {
        const colour::EdgeSpread spread(s.photo.raster, *s.cost, s.record, s.scratch, area, id);
        spread.Write(s.work);
        reached = double(spread.Area().Width()) * spread.Area().Height() / 1e6;
    }
    state.counters["reached_box_mp"] = reached;
}
BENCHMARK(BM_LocalSpread)->Unit(benchmark::kMillisecond)->Iterations(5);

// The largest local spread the target is for: one stroke of radius 20 and 300 pixels in
// a square of 1414 x 1414 (2 MP) of grey 100 with a little noise, in a 24 MP picture of
// grey 160 around it (and the same noise), so the spread reaches the whole square and no
// farther. reached_mp: the megapixels it coloured in the square; outside_px: the pixels
// it coloured outside.
void BM_LocalSpreadTwoMegapixels(benchmark::State &state)
{
    constexpr int32_t kSide = 1414, kLeft = 2000, kTop = 1000;
    const RasterImage source = newdib(kWidth, kHeight, 24, nullptr, 0);
    const RasterImage work = newdib(kWidth, kHeight, 24, nullptr, 0);
    uint32_t noise = 12345;
    for (int32_t y = 0; y < kHeight; ++y) {
        uint8_t *row = PictureRow(source, y);
        for (int32_t x = 0; x < kWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const bool in = x >= kLeft && x < kLeft + kSide && y >= kTop && y < kTop + kSide;
            const auto grey = uint8_t((in ? 100 : 160) + int32_t(noise >> 29) - 3);
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = grey;
        }
    }
    const colour::EdgeCost cost(source);
    colour::SpreadScratch scratch;
    colour::StrokeRecord record;
    record.Reset(kWidth, kHeight);
    record.Allocate();
    view::StrokeParams b;
    b.radius = 20;
    b.hue = 150;
    b.saturation = 200;
    b.followEdges = true;
    const uint16_t id = record.IdOf(view::MarkOf(b));
    const int32_t x1 = kLeft + 500, y1 = kTop + 700, x2 = x1 + 300, y2 = y1;
    auto paint = [&] {
        std::memcpy(work.Pixels, source.Pixels, RasterImageSize(work));
        view::StrokeLine(source, work, x1, y1, x2, y2, b,
                         colour::MakeGreyColourTable(view::PaintOf(b)), &record, id);
    };
    const Rect area{x1 - 20, y1 - 20, x2 + 21, y2 + 21};
    paint();
    colour::EdgeSpread(source, cost, record, scratch, area, id).Write(work); // warm-up
    for (auto _ : state) {
        state.PauseTiming();
        paint();
        state.ResumeTiming();
        colour::EdgeSpread(source, cost, record, scratch, area, id).Write(work);
    }
    // The pixels it coloured, inside the square and outside it.
    size_t inside = 0, outside = 0;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            const bool in = x >= kLeft && x < kLeft + kSide && y >= kTop && y < kTop + kSide;
            const bool changed =
                std::memcmp(PictureRow(source, y) + 3 * x, PictureRow(work, y) + 3 * x, 3) != 0;
            (in ? inside : outside) += size_t(changed);
        }
    state.counters["reached_mp"] = double(inside) / 1e6;
    state.counters["outside_px"] = double(outside);
    deldib(source);
    deldib(work);
}
BENCHMARK(BM_LocalSpreadTwoMegapixels)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same stroke as the window does it: painted through the undo history and released,
// which spreads it and keeps what the stroke and its spread overwrote; then undone, so
// that every iteration starts from the same picture.
void BM_ReleaseThroughHistory(benchmark::State &state)
{
    Scene &s = TheScene();
    std::memcpy(s.work.Pixels, s.photo.raster.Pixels, RasterImageSize(s.work));
    history::History history;
    for (const synthetic::Scribble &sc : s.photo.scribbles) {
        view::StrokeParams b = s.brushes[sc.region];
        b.radius = sc.radius;
        history.BeginStroke();
        history.PaintStroke(s.photo.raster, s.work, sc.x1, sc.y1, sc.x2, sc.y2, b);
        history.EndStroke(s.photo.raster, s.work);
    }
    const synthetic::Scribble &first = s.photo.scribbles.front();
    const double a = std::atan2(first.y2 - first.y1, first.x2 - first.x1);
    view::StrokeParams b = s.brushes[first.region];
    b.radius = 20;
    b.hue = (b.hue + 128) & 255; // a colour of its own, so the spread changes the region
    auto paint = [&] {
        history.BeginStroke();
        history.PaintStroke(s.photo.raster, s.work, first.x1, first.y1,
                            int32_t(first.x1 + 300 * std::cos(a)),
                            int32_t(first.y1 + 300 * std::sin(a)), b);
    };
    // Once untimed, as the first stroke there: it works in fresh memory (see first_ms of
    // BM_LocalSpread).
    paint();
    history.EndStroke(s.photo.raster, s.work);
    history.Undo(s.photo.raster, s.work);
    std::chrono::duration<double, std::milli> toShown{};
    for (auto _ : state) {
        state.PauseTiming();
        paint();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const Rect spread = history.EndStroke(s.photo.raster, s.work, {}, [&](const Rect &) {
            toShown += std::chrono::steady_clock::now() - start;
        });
        benchmark::DoNotOptimize(spread);
        state.PauseTiming();
        history.Undo(s.photo.raster, s.work);
        state.ResumeTiming();
    }
    state.counters["shown_ms"] = toShown.count() / double(state.iterations());
    state.counters["history_mib"] = double(history.StoredBytes()) / (1 << 20);
}
BENCHMARK(BM_ReleaseThroughHistory)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PreparedFirstRelease(benchmark::State &state)
{
    Scene &s = TheScene();
    const synthetic::Scribble &first = s.photo.scribbles.front();
    const double a = std::atan2(first.y2 - first.y1, first.x2 - first.x1);
    view::StrokeParams b = s.brushes[first.region];
    b.radius = 20;
    using Ms = std::chrono::duration<double, std::milli>;
    Ms prepare{}, release{};
    std::optional<history::History> made;
    for (auto _ : state) {
        state.PauseTiming();
        made.reset(); // the last one's memory goes back to the system untimed
        std::memcpy(s.work.Pixels, s.photo.raster.Pixels, RasterImageSize(s.work));
        history::History &history = made.emplace();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        history.PrepareSpreads(s.photo.raster, s.work);
        const auto prepared = std::chrono::steady_clock::now();
        history.BeginStroke();
        history.PaintStroke(s.photo.raster, s.work, first.x1, first.y1,
                            int32_t(first.x1 + 300 * std::cos(a)),
                            int32_t(first.y1 + 300 * std::sin(a)), b);
        const auto painted = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(history.EndStroke(s.photo.raster, s.work));
        const auto released = std::chrono::steady_clock::now();
        prepare += prepared - start;
        release += released - painted;
    }
    state.counters["prepare_ms"] = prepare.count() / double(state.iterations());
    state.counters["release_ms"] = release.count() / double(state.iterations());
}
BENCHMARK(BM_PreparedFirstRelease)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WholeSpread(benchmark::State &state)
{
    Scene &s = TheScene();
    std::memcpy(s.work.Pixels, s.photo.raster.Pixels, RasterImageSize(s.work));
    for (int32_t y = 0; y < kHeight; ++y)
        std::fill(s.record.Row(y), s.record.Row(y) + kWidth, uint16_t(0));
    for (const synthetic::Scribble &sc : s.photo.scribbles)
        s.Paint(sc, sc.radius);
    state.counters["first_ms"] = FirstSpreadMs([&](colour::SpreadScratch &fresh) {
        colour::EdgeSpread(s.photo.raster, *s.cost, s.record, fresh).Write(s.work);
    });
    for (auto _ : state) {
        const colour::EdgeSpread spread(s.photo.raster, *s.cost, s.record, s.scratch);
        spread.Write(s.work);
    }
    Report(state, JudgeColours(s));
    state.counters["scribbles"] = double(s.photo.scribbles.size());
    state.counters["regions"] = double(s.regions);
}
BENCHMARK(BM_WholeSpread)->Unit(benchmark::kMillisecond)->Iterations(2);

#ifdef TINTWELL_HAVE_OPENCV
// The scribbles as three float channels (cos and sin of the hue angle, and 1) where a
// scribble painted, 0 elsewhere; the grey picture as guide.
struct OpenCvInput {
    cv::Mat guide, scribbles;
};

OpenCvInput MakeInput(Scene &s)
{
    OpenCvInput in;
    in.guide.create(kHeight, kWidth, CV_8UC1);
    in.scribbles = cv::Mat::zeros(kHeight, kWidth, CV_32FC3);
    for (int32_t y = 0; y < kHeight; ++y) {
        const uint8_t *src = PictureRow(s.photo.raster, y);
        for (int32_t x = 0; x < kWidth; ++x) {
            in.guide.at<uint8_t>(y, x) = src[3 * x];
            const uint16_t m = s.record.Row(y)[x];
            if (m != 0) {
                const double angle = 2 * M_PI * s.record.Mark(m).paint.hue / 256.0;
                in.scribbles.at<cv::Vec3f>(y, x) = {float(std::cos(angle)), float(std::sin(angle)),
                                                    1.0f};
            }
        }
    }
    return in;
}

// Each pixel not painted by a scribble, by the scribble hue nearest to the filtered one
// (unreached only where no scribble has any weight).
Shares JudgeFiltered(Scene &s, const cv::Mat &filtered)
{
    size_t right = 0, leaked = 0, unreached = 0;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            if (s.record.Row(y)[x] != 0)
                continue;
            const cv::Vec3f v = filtered.at<cv::Vec3f>(y, x);
            if (!(v[2] > 1e-12f)) {
                ++unreached;
                continue;
            }
            const double angle = std::atan2(v[1], v[0]);
            int32_t best = 0;
            double bestD = 1e9;
            for (int32_t k = 0; k < s.regions; ++k) {
                const double a = 2 * M_PI * s.brushes[size_t(k)].hue / 256.0;
                const double d = std::abs(std::remainder(angle - a, 2 * M_PI));
                if (d < bestD) {
                    bestD = d;
                    best = k;
                }
            }
            (best == s.Region(x, y) ? right : leaked) += 1;
        }
    const double all = double(right + leaked + unreached);
    return {double(right) / all, double(leaked) / all, double(unreached) / all};
}

// One filter on the scribbles, single thread: filter(input, output, first argument,
// second argument) as the benchmark's two arguments give them.
template <typename Filter>
void RunFilter(benchmark::State &state, Filter filter)
{
    Scene &s = TheScene();
    cv::setNumThreads(1);
    const OpenCvInput in = MakeInput(s);
    cv::Mat out;
    for (auto _ : state)
        filter(in, out, double(state.range(0)), double(state.range(1)));
    Report(state, JudgeFiltered(s, out));
}

void BM_OpenCV_dtFilter(benchmark::State &state)
{
    RunFilter(state, [](const OpenCvInput &in, cv::Mat &out, double spatial, double colour) {
        cv::ximgproc::dtFilter(in.guide, in.scribbles, out, spatial, colour, cv::ximgproc::DTF_RF,
                               3);
    });
}
BENCHMARK(BM_OpenCV_dtFilter)
    ->Args({600, 10})
    ->Args({200, 4})
    ->ArgNames({"sigma_spatial", "sigma_colour"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_OpenCV_fastGlobalSmoother(benchmark::State &state)
{
    RunFilter(state, [](const OpenCvInput &in, cv::Mat &out, double lambda, double colour) {
        cv::ximgproc::fastGlobalSmootherFilter(in.guide, in.scribbles, out, lambda, colour, 0.25,
                                               3);
    });
}
BENCHMARK(BM_OpenCV_fastGlobalSmoother)
    ->Args({20000, 6})
    ->Args({2000, 3})
    ->ArgNames({"lambda", "sigma_colour"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
#endif

} // namespace

BENCHMARK_MAIN();
