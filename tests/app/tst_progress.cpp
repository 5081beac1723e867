// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar's progress display, checked on the pixels the status bar shows: the
// growing path draws over the old bar, the shrinking path repaints, the bar follows
// the panel's size, message 1024 reaches it, and the text panel stays empty.
#include "app/WindowFixture.h"
#include "support/BmpBuilder.h"
#include "support/TestSupport.h"
#include "widgets/ProgressStatusBar.h"
#include "widgets/UserMessageEvent.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

const QRgb kNavy = qRgb(0, 0, 128);

struct Window {
    FakeMessageService messages;
    FakeFileDialogService dialogs;
    std::unique_ptr<TestMainForm> form;

    explicit Window(int width = 764, bool show = true)
    {
        form = std::make_unique<TestMainForm>(MainFormSeams{&messages, &dialogs, nullptr, {}});
        form->resize(width, 504);
        if (show)
            Show();
    }
    void Show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
    }
    ProgressStatusBar &Bar() { return *form->StatusBar1; }
    QRect Panel() { return Bar().PanelRect(1); }
};

// A bar as its window shows it: what has reached the window's backing store, by a
// paint or straight from the bar.
QImage Screen(const QWidget &bar)
{
    const QPoint at = bar.mapTo(bar.window(), QPoint());
    return bar.screen()
        ->grabWindow(bar.window()->winId(), at.x(), at.y(), bar.width(), bar.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The navy run from the progress panel's left edge on each panel row, on screen; -1
// when the rows differ, a navy pixel lies right of the run (the bar is not one
// rectangle) or the screen differs from the bar's own surface.
int BarWidth(Window &w)
{
    const QImage image = Screen(w.Bar());
    if (image != w.Bar().Surface())
        return -1;
    const QRect panel = w.Panel();
    int width = -2;
    for (int y = panel.top(); y <= panel.bottom(); ++y) {
        int run = 0;
        while (panel.left() + run <= panel.right() && image.pixel(panel.left() + run, y) == kNavy)
            ++run;
        for (int x = panel.left() + run; x <= panel.right(); ++x)
            if (image.pixel(x, y) == kNavy)
                return -1;
        if (width != -2 && run != width)
            return -1;
        width = run;
    }
    return width;
}

int Expected(Window &w, int percent)
{
    return w.Panel().width() * percent / 100;
}

} // namespace

class TestProgress : public QObject {
    Q_OBJECT

private slots:
    void panelsSitWhereTheWindowSaysAndPanelRectFollowsThePaint()
    {
        Window w;
        QCOMPARE(w.Bar().height(), 19);
        QCOMPARE(w.Bar().width(), w.form->width());
        QCOMPARE(w.Panel().left(), 250);
        QCOMPARE(w.Panel().right() + 1, w.Bar().width());
        const QRect p = w.Panel();
        QCOMPARE(w.form->ProgressRect, (Rect{p.left(), p.top(), p.right() + 1, p.bottom() + 1}));
        QCOMPARE(BarWidth(w), 0);
    }

    void sameValueTwiceChangesNothing()
    {
        Window w;
        w.form->SetProStatus(50);
        QCOMPARE(BarWidth(w), Expected(w, 50));
        const QImage before = w.Bar().Surface().copy();
        BarPaints log(*w.form);
        w.form->SetProStatus(50);
        QCOMPARE(w.Bar().Surface(), before);
        QVERIFY2(log.paints.isEmpty(), "an unchanged bar is not drawn again");
    }

    void growingValueLengthensWithoutRepaintingTheBar_data()
    {
        // A status bar with a window of its own is painted the same way.
        QTest::addColumn<bool>("native");
        QTest::newRow("in the main window") << false;
        QTest::newRow("native status bar") << true;
    }
    void growingValueLengthensWithoutRepaintingTheBar()
    {
        QFETCH(bool, native);
        Window w;
        w.Bar().setAttribute(Qt::WA_NativeWindow, native);
        QCoreApplication::processEvents();
        w.form->SetProStatus(50);
        const QImage before = Screen(w.Bar());
        BarPaints log(*w.form);
        w.form->SetProStatus(60);
        QCOMPARE(BarWidth(w), Expected(w, 60));
        // Only the bar's new part was painted: no erase, no full repaint.
        QVERIFY(!log.paints.isEmpty());
        for (const BarPaints::Paint &p : log.paints) {
            QVERIFY(p.rect.left() >= w.Panel().left() + Expected(w, 50));
            QVERIFY(p.rect.right() < w.Panel().left() + Expected(w, 60));
        }
        // Everything outside the new bar is as before.
        const QImage after = Screen(w.Bar());
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (!QRect(w.Panel().left(), w.Panel().top(), Expected(w, 60), w.Panel().height())
                         .contains(x, y))
                    QCOMPARE(after.pixel(x, y), before.pixel(x, y));
    }

    void widgetPutOverTheBarDuringAnOperationIsNotDrawnOver_data()
    {
        // A widget shown over the bar between two reports, without the event loop
        // running, is left alone.
        QTest::addColumn<QRect>("cover");
        QTest::newRow("middle of the panel") << QRect(400, 0, 60, 19);
        QTest::newRow("right end of the panel") << QRect(600, 0, 164, 19);
        QTest::newRow("top rows of the panel") << QRect(250, 0, 514, 8);
    }
    void widgetPutOverTheBarDuringAnOperationIsNotDrawnOver()
    {
        QFETCH(QRect, cover);
        Window w;
        w.form->SetProStatus(20);
        QWidget *parent = w.Bar().parentWidget();
        auto *widget = new QWidget(parent);
        widget->setAutoFillBackground(true);
        widget->setGeometry(cover.translated(w.Bar().mapTo(parent, QPoint())));
        widget->show();
        widget->raise();
        w.form->SetProStatus(100);
        const QImage screen = Screen(w.Bar());
        const QRect panel = w.Panel();
        for (int y = panel.top(); y <= panel.bottom(); ++y)
            for (int x = panel.left() + Expected(w, 20); x <= panel.right(); ++x)
                QCOMPARE(screen.pixel(x, y) == kNavy, !cover.contains(x, y));
    }

    void fillsOfAnotherColourOrShorterLandOnScreenAndSurfaceAlike()
    {
        // The bar alone, as its own window: fills of any colour and length, each on
        // screen at once, and all of them on the surface when it is read.
        ProgressStatusBar bar;
        bar.resize(400, ProgressStatusBar::kHeight);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        bar.RepaintNow();
        QImage expected = bar.Surface().copy();
        const struct {
            QRect rect;
            QRgb colour;
        } fills[] = {{{10, 2, 100, 17}, 0x000080}, {{10, 2, 150, 17}, 0x000080},
                     {{10, 2, 60, 17}, 0xff0000},  {{10, 5, 200, 4}, 0xff0000},
                     {{10, 2, 300, 17}, 0x000080}, {{390, 0, 50, 30}, 0x00ff00}};
        for (const auto &fill : fills) {
            bar.FillNow(fill.rect, fill.colour);
            QPainter(&expected).fillRect(fill.rect, QColor::fromRgb(fill.colour));
            QCOMPARE(Screen(bar), expected);
        }
        QCOMPARE(bar.Surface(), expected);
    }

    void zeroAfterHundredRepaintsToAnEmptyPanel()
    {
        Window w;
        const QImage idle = w.Bar().Surface().copy();
        w.form->SetProStatus(100);
        QCOMPARE(BarWidth(w), w.Panel().width());
        BarPaints log(*w.form);
        w.form->SetProStatus(0);
        QCOMPARE(BarWidth(w), 0);
        QCOMPARE(Screen(w.Bar()), idle);
        QVERIFY(!log.paints.isEmpty());
        QCOMPARE(log.paints.first().rect, w.Bar().rect());
        // A new button colour: the next repaint shows the whole bar in it.
        QPalette palette = w.Bar().palette();
        palette.setColor(QPalette::Button, QColor(200, 10, 10));
        w.Bar().setPalette(palette);
        w.form->SetProStatus(100);
        w.form->SetProStatus(0);
        QCOMPARE(Screen(w.Bar()).pixel(w.Panel().center()), qRgb(200, 10, 10));
        QCOMPARE(Screen(w.Bar()).pixel(100, 10), qRgb(200, 10, 10));
    }

    void valueBeforeFirstPaintShowsAtFirstPaint()
    {
        Window w(764, false);
        w.form->SetProStatus(40);
        QCOMPARE(w.form->ProgressRect, Rect{});
        QCOMPARE(w.form->ProgressPercent, 40);
        w.Show();
        QCOMPARE(BarWidth(w), Expected(w, 40));
        QVERIFY(Expected(w, 40) > 0);
    }

    void resizedWindowRedrawsBarAtSamePercentage()
    {
        Window w(764);
        w.form->SetProStatus(30);
        QCOMPARE(BarWidth(w), (764 - 250) * 30 / 100);
        w.form->resize(600, 504);
        QTRY_COMPARE(w.Bar().width(), 600);
        QTRY_COMPARE(w.Bar().Surface().width(), 600);
        QCOMPARE(BarWidth(w), (600 - 250) * 30 / 100);
        QCOMPARE(w.form->ProgressRect.Right, 600);
        // The growing path now uses the new rectangle too.
        w.form->SetProStatus(90);
        QCOMPARE(BarWidth(w), (600 - 250) * 90 / 100);
    }

    void barLengthTruncates_data()
    {
        QTest::addColumn<int>("windowWidth");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("bar");
        QTest::newRow("33% of 200") << 450 << 33 << 66;
        QTest::newRow("33% of 150") << 400 << 33 << 49;
        QTest::newRow("100% of 150") << 400 << 100 << 150;
        QTest::newRow("1% of 150") << 400 << 1 << 1;
        QTest::newRow("above 100 stays in the panel") << 400 << 250 << 150;
    }
    void barLengthTruncates()
    {
        QFETCH(int, windowWidth);
        QFETCH(int, percent);
        QFETCH(int, bar);
        Window w(windowWidth);
        QCOMPARE(w.Panel().width(), windowWidth - 250);
        w.form->SetProStatus(percent);
        QCOMPARE(BarWidth(w), bar);
    }

    void negativeValueDrawsNothingOverTheTextPanel()
    {
        Window w;
        const QImage idle = w.Bar().Surface().copy();
        w.form->SetProStatus(-30);
        QCOMPARE(w.form->ProgressPercent, -30);
        QCOMPARE(w.Bar().Surface(), idle);
    }

    void threeRowConversionShowsFiftyHundredThenClears()
    {
        Window w;
        testsupport::TempDir dir;
        const std::string file = dir.file("three.bmp");
        QVERIFY(
            testsupport::WriteFileBytes(file, testsupport::MakeBmp(testsupport::Pattern(5, 3, 8))));
        w.dialogs.OpenAnswers << QString::fromStdString(file);
        BarPaints log(*w.form);
        w.form->Open1Click();
        QVERIFY(w.messages.Boxes.isEmpty());
        QList<int> shown;
        for (const BarPaints::Paint &p : log.paints)
            if (shown.isEmpty() || shown.last() != p.percent)
                shown << p.percent;
        // 0 before and at the first row draws nothing; 50 and 100 lengthen the bar; the
        // final 0 repaints the whole status bar.
        QCOMPARE(shown, (QList<int>{50, 100, 0}));
        QCOMPARE(log.paints.last().rect, w.Bar().rect());
        QCOMPARE(BarWidth(w), 0);
    }

    void userMessageSetsProgress()
    {
        Window w;
        UserMessageEvent forty(40);
        QCoreApplication::sendEvent(w.form.get(), &forty);
        QCOMPARE(w.form->ProgressPercent, 40);
        QCOMPARE(BarWidth(w), Expected(w, 40));
        BarPaints log(*w.form);
        UserMessageEvent ten(10);
        QCoreApplication::sendEvent(w.form.get(), &ten);
        QCOMPARE(w.form->ProgressPercent, 10);
        QCOMPARE(BarWidth(w), Expected(w, 10));
        QVERIFY(!log.paints.isEmpty());
        QCOMPARE(log.paints.first().rect, w.Bar().rect());
    }

    void textPanelNeverShowsStatusTips()
    {
        Window w;
        const QImage idle = w.Bar().Surface().copy();
        w.form->OpenBtn->setStatusTip(QStringLiteral("Opens a picture file"));
        QTest::mouseMove(w.form->OpenBtn);
        QStatusTipEvent toWindow(QStringLiteral("Opens a picture file"));
        QCoreApplication::sendEvent(w.form.get(), &toWindow);
        QStatusTipEvent toBar(QStringLiteral("Opens a picture file"));
        QCoreApplication::sendEvent(w.form->StatusBar1, &toBar);
        QCoreApplication::processEvents();
        w.Bar().RepaintNow();
        QCOMPARE(w.Bar().Surface(), idle);
        QVERIFY(w.form->findChild<QStatusBar *>() == nullptr);
    }
};

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
