// SPDX-License-Identifier: GPL-3.0-or-later
// Open, edit and close, 500 times in one process (50 with TINTWELL_SOAK=quick), with pictures of
// every format and depth: the main window made, a picture opened, painted, greyed, softened,
// undone, saved, and the window destroyed. After a warm-up the resident memory may grow by a few
// MiB at most (allocator noise); built with the sanitizers, LeakSanitizer checks at exit
// that nothing was lost (the memory figure means nothing there).
#include "app/WindowFixture.h"
#include "support/BmpBuilder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasureMemory = false;
#else
constexpr bool kMeasureMemory = true;
#endif

// Resident memory in bytes, after handing freed memory back to the system.
size_t ResidentBytes()
{
    malloc_trim(0);
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return size_t(resident) * size_t(sysconf(_SC_PAGESIZE));
}

} // namespace

class TestCycles : public QObject {
    Q_OBJECT

private:
    QStringList pictures_;
    QTemporaryDir dir_;

    void Cycle(int n)
    {
        FakeMessageService messages;
        FakeFileDialogService dialogs;
        FakeHelpEngine help;
        auto form = std::make_unique<TestMainForm>(MainFormSeams{&messages, &dialogs, &help, {}});
        form->show();
        form->openfilenow(pictures_[n % pictures_.size()]);
        SendMouse(form->PaintBox1, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton,
                  QPoint(3, 3));
        SendMouse(form->PaintBox1, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPoint(40, 20));
        SendMouse(form->PaintBox1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton,
                  QPoint(40, 20));
        form->GrrayBtn->click();
        form->SoftenBtn->click();
        form->UndoStep();
        form->ColorAllBtn->click();
        dialogs.SaveAnswers = {QDir(dir_.path()).filePath(QStringLiteral("cycle.png"))};
        form->Saveas1Click();
        QVERIFY2(messages.Boxes.isEmpty(), qPrintable(pictures_[n % pictures_.size()]));
    }

private slots:
    void initTestCase()
    {
        const auto seeds =
            std::filesystem::path(TINTWELL_SOURCE_DIR) / "fuzz" / "seeds" / "opendib";
        for (const auto &entry : std::filesystem::directory_iterator(seeds))
            pictures_ << QString::fromStdString(entry.path().string());
        pictures_.sort();
        QVERIFY(pictures_.size() >= 12);
        QVERIFY(dir_.isValid());
        // Larger pictures too, so that a raster lost per cycle would show as hundreds of
        // MiB.
        for (int bits : {1, 4, 8, 24}) {
            const QString name = QDir(dir_.path()).filePath(QStringLiteral("big%1.bmp").arg(bits));
            QVERIFY(testsupport::WriteFileBytes(
                name.toStdString(), testsupport::MakeBmp(testsupport::Pattern(600, 400, bits))));
            pictures_ << name;
        }
    }

    void fiveHundredCyclesKeepMemoryFlat()
    {
        const int kWarmUp = QuickSoak() ? 10 : 50;
        const int kCycles = QuickSoak() ? 50 : 500;
        size_t warm = 0;
        for (int n = 0; n < kCycles; ++n) {
            if (n == kWarmUp)
                warm = ResidentBytes();
            Cycle(n);
            if (QTest::currentTestFailed())
                return;
        }
        const size_t end = ResidentBytes();
        qInfo("resident memory after %d cycles: %.1f MiB, after %d more: %.1f MiB", kWarmUp,
              double(warm) / (1 << 20), kCycles - kWarmUp, double(end) / (1 << 20));
        if (kMeasureMemory)
            QVERIFY2(end <= warm + (size_t(4) << 20), "resident memory grew by more than 4 MiB");
    }
};

QTEST_MAIN(TestCycles)
#include "tst_cycles.moc"
