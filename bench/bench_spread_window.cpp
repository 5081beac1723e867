// SPDX-License-Identifier: GPL-3.0-or-later
// Follow edges through the main window, as the user meets it, on the 6000 x 4000
// synthetic photograph of bench_spread (opened from a BMP file as Open does), at zoom
// 100 in a 1280 x 1000 window:
//   BM_TickFollowEdges  ticking the box on a picture just opened: the edge map and the
//                       spreads' memory made then, not after the first stroke
//   BM_ReleaseInWindow  the release of a stroke of radius 20 and 300 pixels in one
//                       region (bench_spread's local spread), painted through the view's
//                       mouse handlers with the stroke in sight: from the release until
//                       the X server has the repainted view (PaintBox1MouseUp, then
//                       QGuiApplication::sync), which includes the history keeping what
//                       the stroke overwrote after the repaint; undone between
//                       iterations, untimed. first_ms: the first stroke after the tick,
//                       which also makes the window's first recovery copy of the work
//                       (after the view shows the spread; the copies of later steps come
//                       once a minute at most, and not in these iterations).
// What the screen costs is measured on a real X server:
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb
//       build/bench/bench_spread_window (on one line)
#include "SyntheticPhoto.h"
#include "WidgetBench.h"

#include "app/MainForm.h"
#include "widgets/SpinEdit.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QScrollArea>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>

namespace {

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;

using Ms = std::chrono::duration<double, std::milli>;

// A 24-bit BMP of the raster: its rows are already bottom-up and padded as a BMP's.
bool WriteBmp(const std::string &name, const RasterImage &raster)
{
    const auto size = uint32_t(RasterImageSize(raster));
    uint8_t header[54] = {'B', 'M'};
    auto put = [&header](size_t at, uint32_t v, size_t bytes) {
        for (size_t k = 0; k < bytes; ++k)
            header[at + k] = uint8_t(v >> (8 * k));
    };
    put(2, 54 + size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(RasterWidth(raster)), 4);
    put(22, uint32_t(RasterHeight(raster)), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, size, 4);
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char *>(header), sizeof header);
    out.write(reinterpret_cast<const char *>(raster.Pixels), std::streamsize(size));
    return bool(out);
}

struct Bench {
    QTemporaryDir dir;
    std::string picture;
    synthetic::Scribble stroke{};
    std::unique_ptr<TMainForm> form;
    QCheckBox *follow = nullptr;

    Bench()
    {
        synthetic::Photo photo = synthetic::MakePhoto(kWidth, kHeight, 36, 7);
        picture = dir.filePath(QStringLiteral("photo.bmp")).toStdString();
        WriteBmp(picture, photo.raster);
        const synthetic::Scribble &first = photo.scribbles.front();
        const double a = std::atan2(first.y2 - first.y1, first.x2 - first.x1);
        stroke = {first.x1,
                  first.y1,
                  int32_t(first.x1 + 300 * std::cos(a)),
                  int32_t(first.y1 + 300 * std::sin(a)),
                  20,
                  first.region};
        deldib(photo.raster);
        MainFormSeams seams;
        seams.RecoveryFolder = dir.filePath(QStringLiteral("recovery"));
        form = std::make_unique<TMainForm>(seams);
        form->resize(1280, 1000);
        form->show();
        follow = form->findChild<QCheckBox *>(QStringLiteral("FollowEdgesCheck"));
        form->findChild<SpinEdit *>(QStringLiteral("RadiusED"))->setValue(stroke.radius);
        Settle();
    }
    static void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        QGuiApplication::sync();
    }
    void Open()
    {
        follow->setChecked(false);
        form->openfilenow(QString::fromStdString(picture));
        // The stroke in the middle of the view.
        auto *view = form->findChild<QScrollArea *>(QStringLiteral("ScrollBox1"));
        view->ensureVisible((stroke.x1 + stroke.x2) / 2, (stroke.y1 + stroke.y2) / 2,
                            view->viewport()->width() / 2, view->viewport()->height() / 2);
        Settle();
    }
    // Paints the stroke and gives the time of its release until it is on the screen.
    Ms Release()
    {
        form->PaintBox1MouseDown(Qt::LeftButton, ShiftState{}, stroke.x1, stroke.y1);
        form->PaintBox1MouseMove(ShiftState{}, stroke.x2, stroke.y2);
        Settle();
        const auto start = std::chrono::steady_clock::now();
        form->PaintBox1MouseUp(Qt::LeftButton, ShiftState{}, stroke.x2, stroke.y2);
        QGuiApplication::sync();
        return std::chrono::steady_clock::now() - start;
    }
};

Bench &TheBench()
{
    static Bench bench;
    return bench;
}

void BM_TickFollowEdges(benchmark::State &state)
{
    Bench &b = TheBench();
    for (auto _ : state) {
        state.PauseTiming();
        b.Open();
        state.ResumeTiming();
        b.follow->setChecked(true);
    }
}
BENCHMARK(BM_TickFollowEdges)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReleaseInWindow(benchmark::State &state)
{
    Bench &b = TheBench();
    b.Open();
    b.follow->setChecked(true);
    const Ms first = b.Release();
    b.form->UndoStep();
    Bench::Settle();
    for (auto _ : state) {
        state.SetIterationTime(b.Release().count() / 1000);
        b.form->UndoStep();
        Bench::Settle();
    }
    state.counters["first_ms"] = first.count();
}
BENCHMARK(BM_ReleaseInWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);

} // namespace

int main(int argc, char **argv)
{
    const auto app = StartWidgetBench(argc, argv);
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheBench().form.reset();
    return 0;
}
