// SPDX-License-Identifier: GPL-3.0-or-later
// Opening pictures through the main window: the dialog request, each source depth
// arriving as two equal 24-bit rasters, and failures that keep the edited picture.
#include "app/WindowFixture.h"
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"
#include "support/BmpBuilder.h"
#include "support/TestSupport.h"
#include "widgets/ProgressStatusBar.h"
#include "widgets/SpinEdit.h"

#include <QToolButton>
#include <QtTest>

#include <cstring>
#include <memory>
#include <optional>
#include <set>

namespace {

testsupport::Rgb Pixel(const RasterImage &raster, int32_t x, int32_t y)
{
    const uint8_t *p = PictureRow(raster, y) + 3 * x;
    return {p[2], p[1], p[0]};
}

// A window whose rasters are counted: every one made through NewDib and every one
// released through DelDib. A NewDib of width RefuseWidth fails.
struct Window {
    FakeMessageService messages;
    FakeFileDialogService dialogs;
    std::multiset<uintptr_t> made;
    std::multiset<uintptr_t> released;
    int32_t refuseWidth = -1;
    // When set, the library fails every file with this error text.
    std::optional<std::string> libraryText;
    std::unique_ptr<TestMainForm> form;
    testsupport::TempDir dir;

    Window()
    {
        MainFormSeams seams{&messages, &dialogs, nullptr, {}};
        seams.Rasters.NewDib = [this](int32_t w, int32_t h, int32_t b, const void *s, int32_t n) {
            if (w == refuseWidth)
                return RasterImage{};
            const RasterImage r = newdib(w, h, b, s, n);
            made.insert(r.Storage);
            return r;
        };
        seams.Rasters.DelDib = [this](const RasterImage &r) {
            released.insert(r.Storage);
            deldib(r);
        };
        seams.Rasters.OpenDib = [this](const std::string &name, void *window) {
            return libraryText ? rastix::FailedRaster(*libraryText)
                               : OpenDib(name.c_str(), 0, window);
        };
        form = std::make_unique<TestMainForm>(seams);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    QString Write(const std::string &name, const std::vector<uint8_t> &bytes)
    {
        const std::string path = dir.file(name);
        testsupport::WriteFileBytes(path, bytes);
        return QString::fromStdString(path);
    }

    void Open(const QString &file)
    {
        dialogs.OpenAnswers << file;
        form->Open1Click();
    }

    // Paints a mark into the work raster, as a brush stroke would.
    void Edit() { std::memset(form->WorkRaster.Pixels, 7, 30); }

    // The edited document as the user sees it.
    struct Snapshot {
        RasterImage source;
        RasterImage work;
        Bytes workBytes;
        QSize view;
        QImage screen;
    };
    Snapshot EditAndShow()
    {
        Edit();
        form->PaintBox1Paint();
        return {form->SourceRaster, form->WorkRaster, Pixels(form->WorkRaster),
                form->PaintBox1->size(), form->PaintBox1->Surface().copy()};
    }

    // A failed load left both rasters, their content, the view and the screen alone,
    // released neither raster and told the user under the load title.
    void VerifyKept(const Snapshot &before, const QString &file) const
    {
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(messages.Boxes.first().Icon, MessageIcon::None);
        QCOMPARE(messages.Boxes.first().Buttons, MessageButtons(MessageButton::Ok));
        const QString title = LoadTitle(file);
        QVERIFY(messages.Boxes.first().Caption == title || messages.Boxes.first().Text == title);
        QCOMPARE(form->SourceRaster.Pixels, before.source.Pixels);
        QCOMPARE(form->WorkRaster.Pixels, before.work.Pixels);
        QCOMPARE(Pixels(form->WorkRaster), before.workBytes);
        QCOMPARE(form->PaintBox1->size(), before.view);
        QCOMPARE(form->PaintBox1->Surface(), before.screen);
        QCOMPARE(form->ProgressPercent, 0);
        QCOMPARE(released.count(before.source.Storage), size_t(0));
        QCOMPARE(released.count(before.work.Storage), size_t(0));
    }

    static QString LoadTitle(const QString &file)
    {
        return QStringLiteral("Error: The file ") + file + QStringLiteral(" could not be loaded!");
    }
};

void CompareWithPicture(const TestMainForm &form, const testsupport::Picture &picture)
{
    for (const RasterImage *r : {&form.SourceRaster, &form.WorkRaster}) {
        QCOMPARE(RasterBitCount(*r), 24);
        QCOMPARE(RasterWidth(*r), picture.width);
        QCOMPARE(RasterHeight(*r), picture.height);
        for (int32_t y = 0; y < picture.height; ++y)
            for (int32_t x = 0; x < picture.width; ++x)
                if (!(Pixel(*r, x, y) == testsupport::Expected(picture, x, y)))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
    }
    QCOMPARE(form.SourceRaster.Stride, form.WorkRaster.Stride);
    QVERIFY(form.SourceRaster.Pixels != form.WorkRaster.Pixels);
    QCOMPARE(Pixels(form.WorkRaster), Pixels(form.SourceRaster));
}

} // namespace

class TestOpen : public QObject {
    Q_OBJECT

private slots:
    void dialogIsAskedWithTheStartupFilter()
    {
        Window w;
        w.form->Open1Click();
        QCOMPARE(w.dialogs.OpenCount, 1);
        QVERIFY(w.dialogs.LastOpen.has_value());
        QCOMPARE(w.dialogs.LastOpen->Filter, w.form->OpenDialog1.Filter);
        QVERIFY(w.dialogs.LastOpen->Filter.startsWith(QStringLiteral("All pictures|")));
        // The button runs the same command.
        w.form->OpenBtn->click();
        QCOMPARE(w.dialogs.OpenCount, 2);
    }

    void cancelChangesNothing()
    {
        Window w;
        w.Edit();
        const RasterImage source = w.form->SourceRaster;
        const RasterImage work = w.form->WorkRaster;
        const Bytes edited = Pixels(work);
        w.form->Open1Click();
        QCOMPARE(w.form->SourceRaster.Pixels, source.Pixels);
        QCOMPARE(w.form->WorkRaster.Pixels, work.Pixels);
        QCOMPARE(Pixels(w.form->WorkRaster), edited);
        QVERIFY(w.messages.Boxes.isEmpty());
        QVERIFY(w.released.empty());
    }

    void eachDepthArrivesAsTwoEqual24BitRasters_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("24-bit") << 24 << 7 << 5;
        QTest::newRow("8-bit palette colours") << 8 << 9 << 4;
        QTest::newRow("4-bit odd width") << 4 << 7 << 3;
        QTest::newRow("1-bit") << 1 << 13 << 2;
        QTest::newRow("one row") << 8 << 6 << 1;
    }
    void eachDepthArrivesAsTwoEqual24BitRasters()
    {
        QFETCH(int, bits);
        QFETCH(int, width);
        QFETCH(int, height);
        Window w;
        const RasterImage oldSource = w.form->SourceRaster;
        const RasterImage oldWork = w.form->WorkRaster;
        const testsupport::Picture picture = testsupport::Pattern(width, height, bits);
        w.Open(w.Write("p.bmp", testsupport::MakeBmp(picture)));
        QVERIFY(w.messages.Boxes.isEmpty());
        CompareWithPicture(*w.form, picture);
        QCOMPARE(w.form->ProgressPercent, 0);
        // The old pair went back exactly once.
        QCOMPARE(w.released.count(oldSource.Storage), size_t(1));
        QCOMPARE(w.released.count(oldWork.Storage), size_t(1));
        // A 24-bit file's record is kept as the library returned it: not one the window
        // made. A converted one is the window's own.
        QCOMPARE(w.made.count(w.form->SourceRaster.Storage), size_t(bits == 24 ? 0 : 1));
    }

    void twentyFourBitFileLeavesProgressAtZero()
    {
        Window w;
        BarPaints bar(*w.form);
        w.Open(w.Write("p.bmp", testsupport::MakeBmp(testsupport::Pattern(8, 8, 24))));
        for (const BarPaints::Paint &p : bar.paints)
            QCOMPARE(p.percent, 0);
        QCOMPARE(w.form->ProgressPercent, 0);
    }

    void oneBitPaletteWithWhiteFirstComesOutSwapped()
    {
        Window w;
        const testsupport::Picture picture{3, 1, 1, {{255, 255, 255}, {0, 0, 0}}, {0, 1, 0}};
        w.Open(w.Write("w.bmp", testsupport::MakeBmp(picture)));
        QCOMPARE(Pixel(w.form->WorkRaster, 0, 0), (testsupport::Rgb{0, 0, 0}));
        QCOMPARE(Pixel(w.form->WorkRaster, 1, 0), (testsupport::Rgb{255, 255, 255}));
        QCOMPARE(Pixel(w.form->SourceRaster, 2, 0), (testsupport::Rgb{0, 0, 0}));
    }

    void failedLoadShowsBoxAndKeepsTheEditedPicture_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing file") << QByteArray();
        QTest::newRow("damaged BMP") << QByteArray("BM\x10\0\0\0\0\0\0\0\x36\0\0\0", 14);
        QTest::newRow("not a picture") << QByteArray("hello, world\n");
    }
    void failedLoadShowsBoxAndKeepsTheEditedPicture()
    {
        QFETCH(QByteArray, content);
        Window w;
        const Window::Snapshot before = w.EditAndShow();
        QString file = QString::fromStdString(w.dir.file("typed-name.bmp"));
        if (!content.isEmpty())
            file = w.Write("bad.bmp", std::vector<uint8_t>(content.begin(), content.end()));
        w.Open(file);

        w.VerifyKept(before, file);
        QCOMPARE(w.messages.Boxes.first().Caption, Window::LoadTitle(file));
        QVERIFY(w.messages.Boxes.first().Text.size() > 5);
        QVERIFY(w.released.empty());
    }

    // The library's own text is shown only when it says more than 5 characters.
    void libraryTextOfFiveCharactersIsReplacedByTheTitle_data()
    {
        QTest::addColumn<QString>("libraryText");
        QTest::addColumn<bool>("shown");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("5 characters") << QStringLiteral("abcde") << false;
        QTest::newRow("6 characters") << QStringLiteral("abcdef") << true;
    }
    void libraryTextOfFiveCharactersIsReplacedByTheTitle()
    {
        QFETCH(QString, libraryText);
        QFETCH(bool, shown);
        Window w;
        const Window::Snapshot before = w.EditAndShow();
        w.libraryText = libraryText.toStdString();
        const QString file = QString::fromStdString(w.dir.file("any.bmp"));
        w.Open(file);

        w.VerifyKept(before, file);
        const QString title = Window::LoadTitle(file);
        QCOMPARE(w.messages.Boxes.first().Text, shown ? libraryText : title);
        QCOMPARE(w.messages.Boxes.first().Caption, shown ? title : QStringLiteral("Error"));
    }

    void noMemoryForTheNewPictureKeepsThePreviousOne_data()
    {
        QTest::addColumn<int>("bits");
        QTest::newRow("conversion target") << 8;
        QTest::newRow("working copy") << 24;
    }
    void noMemoryForTheNewPictureKeepsThePreviousOne()
    {
        QFETCH(int, bits);
        Window w;
        const Window::Snapshot before = w.EditAndShow();
        w.refuseWidth = 37;
        const QString file =
            w.Write("big.bmp", testsupport::MakeBmp(testsupport::Pattern(37, 4, bits)));
        w.Open(file);

        w.VerifyKept(before, file);
        QCOMPARE(w.messages.Boxes.first().Caption, Window::LoadTitle(file));
        QCOMPARE(RasterBitCount(w.form->SourceRaster), 24);
    }

    void loadingKeepsColourToolsAndPalette()
    {
        Window w;
        // Set through the boxes: a brightness change reads hue and saturation from them.
        w.form->HueED->setValue(77);
        w.form->SatEd->setValue(33);
        w.form->BrightEd->setValue(-12);
        w.form->RadiusED->setValue(25);
        w.form->ZoomEd->setValue(200);
        w.form->RadiergummiBtn->click();
        const bool colorize = w.form->ColorierenBtn->isChecked();
        const Bytes palette = Pixels(w.form->PaletteRaster);
        const uintptr_t paletteStorage = w.form->PaletteRaster.Storage;
        const QString caption = w.form->windowTitle();

        w.Open(w.Write("p.bmp", testsupport::MakeBmp(testsupport::Pattern(11, 7, 8))));
        QVERIFY(w.messages.Boxes.isEmpty());
        QCOMPARE(RasterWidth(w.form->WorkRaster), 11);
        QCOMPARE(w.form->CurHue, 77);
        QCOMPARE(w.form->CurSat, 33);
        QCOMPARE(w.form->BrightEd->value(), -12);
        QCOMPARE(w.form->RadiusED->value(), 25);
        QCOMPARE(w.form->ZoomEd->value(), 200);
        QCOMPARE(w.form->ColorierenBtn->isChecked(), colorize);
        QCOMPARE(w.form->PaletteRaster.Storage, paletteStorage);
        QCOMPARE(Pixels(w.form->PaletteRaster), palette);
        QCOMPARE(w.form->windowTitle(), caption);
    }
};

QTEST_MAIN(TestOpen)
#include "tst_open.moc"
