// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and release of the main window's document: the white 320 x 200 picture, the
// Skin colour, the program folder, the palette-failure message, the release order,
// and the program's refusal to start without a display.
#include "app/ProgramDir.h"
#include "app/WindowFixture.h"
#include "platform/rastix/Rastix.h"
#include "widgets/UserMessageEvent.h"

#include <QProcess>
#include <QtTest>

#include <memory>

namespace {

bool AllBytesAre(const RasterImage &raster, uint8_t value)
{
    const uint32_t size = RasterImageSize(raster);
    for (uint32_t i = 0; i < size; ++i)
        if (raster.Pixels[i] != value)
            return false;
    return true;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void startState()
    {
        FakeMessageService messages;
        FakeFileDialogService dialogs;
        TestMainForm form({&messages, &dialogs, nullptr, {}});
        for (const RasterImage *r : {&form.SourceRaster, &form.WorkRaster}) {
            QVERIFY(r->Pixels);
            QCOMPARE(RasterWidth(*r), 320);
            QCOMPARE(RasterHeight(*r), 200);
            QCOMPARE(RasterBitCount(*r), 24);
            QVERIFY(AllBytesAre(*r, 255));
        }
        QVERIFY(form.SourceRaster.Pixels != form.WorkRaster.Pixels);
        QVERIFY(form.PaletteRaster.Pixels);
        QCOMPARE(RasterWidth(form.PaletteRaster), 64);
        QCOMPARE(RasterHeight(form.PaletteRaster), 256);
        QCOMPARE(RasterBitCount(form.PaletteRaster), 24);
        QCOMPARE(form.CurHue, 20);
        QCOMPARE(form.CurSat, 141);
        QVERIFY(form.ProgramDir.endsWith(QLatin1Char('/')));
        QVERIFY(!form.ProgramDir.endsWith(QStringLiteral("//")));
        QCOMPARE(form.ProgramDir, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
        QCOMPARE(form.HelpFile, form.ProgramDir);
        QCOMPARE(form.SaveDialog1.InitialDir, form.ProgramDir);
        QVERIFY(form.OpenDialog1.InitialDir.isEmpty());
        QCOMPARE(form.PaintBox1->size(), QSize(320, 200));
        QCOMPARE(form.ProgressPercent, 0);
        QCOMPARE(form.ProgressRect, Rect{});
        QVERIFY(!form.Painting);
        QVERIFY(!form.SyncingEdits);
        QVERIFY(messages.Boxes.isEmpty());
    }

    void openFilterFirstEntryListsEveryFormat()
    {
        TestMainForm form;
        const QStringList parts = form.OpenDialog1.Filter.split(QLatin1Char('|'));
        QCOMPARE(parts.size() % 2, 0);
        QCOMPARE(parts.size(), 30); // 13 formats between the two "all" entries
        QCOMPARE(parts[0], QStringLiteral("All pictures"));
        QCOMPARE(
            parts[1],
            QStringLiteral(
                "*.BMP;*.DIB;*.GIF;*.IFF;*.JIF;*.JPG;*.LBM;*.PCX;*.RLE;*.TGA;*.TIF;*.PNG;*.ORA"));
        QCOMPARE(parts[10], QStringLiteral("JIF - JPEG - JFIF Compilant"));
        QCOMPARE(parts[24], QStringLiteral("PNG - Portable Graphics Network"));
        QCOMPARE(parts[26], QStringLiteral("ORA - OpenRaster work file"));
        QCOMPARE(parts[27], QStringLiteral("*.ORA"));
        QCOMPARE(parts[28], QStringLiteral("All files (*.*)"));
        QCOMPARE(parts[29], QStringLiteral("*.*"));
    }

    void trailingSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "/usr/lib/tintwell"
                               << "/usr/lib/tintwell/";
        QTest::newRow("already ends in one") << "/opt/tw/"
                                             << "/opt/tw/";
        QTest::newRow("root") << "/"
                              << "/";
    }
    void trailingSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(WithTrailingSeparator(folder), expected);
    }

    void paletteFailureShowsOneMessageAndStartContinues()
    {
        FakeMessageService messages;
        MainFormSeams seams;
        seams.Messages = &messages;
        seams.Rasters.NewDib = [](int32_t w, int32_t h, int32_t bits, const void *src, int32_t n) {
            if (w == 64 && h == 256)
                return RasterImage{}; // no pixel memory: creation failed
            return newdib(w, h, bits, src, n);
        };
        int released = 0;
        seams.Rasters.DelDib = [&released](const RasterImage &r) {
            ++released;
            deldib(r);
        };
        {
            TestMainForm form(seams);
            QCOMPARE(messages.Boxes.size(), 1);
            const auto &box = messages.Boxes.first();
            QCOMPARE(
                box.Text,
                QStringLiteral("Error: Not enough memory to work correcly with this program!!!"));
            QVERIFY(box.Caption.isEmpty());
            QCOMPARE(box.Icon, MessageIcon::Error);
            QCOMPARE(box.Buttons, MessageButtons(MessageButton::Ok));
            QCOMPARE(form.CurHue, 20);
            QCOMPARE(form.CurSat, 141);
            QVERIFY(form.PaletteRaster.Pixels == nullptr);
            QVERIFY(AllBytesAre(form.WorkRaster, 255));
        }
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(released, 3);
    }

    void documentRasterFailureIsSilent()
    {
        FakeMessageService messages;
        MainFormSeams seams;
        seams.Messages = &messages;
        int calls = 0;
        seams.Rasters.NewDib = [&calls](int32_t w, int32_t h, int32_t bits, const void *src,
                                        int32_t n) {
            if (++calls == 1)
                return RasterImage{}; // SourceRaster fails
            return newdib(w, h, bits, src, n);
        };
        TestMainForm form(seams);
        QVERIFY(messages.Boxes.isEmpty());
        QVERIFY(form.SourceRaster.Pixels == nullptr);
        QVERIFY(AllBytesAre(form.WorkRaster, 255));
    }

    void releaseOrderIsPaletteSourceWorkThenHelp()
    {
        QStringList log;
        FakeHelpEngine help(&log);
        MainFormSeams seams;
        seams.Help = &help;
        std::vector<const uint8_t *> palette, source, work;
        auto form = std::make_unique<TestMainForm>(MainFormSeams{});
        seams.Rasters.DelDib = [&](const RasterImage &r) {
            if (r.Pixels == palette.back())
                log << QStringLiteral("palette");
            else if (r.Pixels == source.back())
                log << QStringLiteral("source");
            else if (r.Pixels == work.back())
                log << QStringLiteral("work");
            else
                log << QStringLiteral("unknown");
            deldib(r);
        };
        form = std::make_unique<TestMainForm>(seams);
        // A picture "loaded" in between: both document rasters replaced.
        deldib(form->SourceRaster);
        deldib(form->WorkRaster);
        form->SourceRaster = newdib(17, 9, 24, nullptr, 0);
        form->WorkRaster = newdib(17, 9, 24, nullptr, 0);
        palette.push_back(form->PaletteRaster.Pixels);
        source.push_back(form->SourceRaster.Pixels);
        work.push_back(form->WorkRaster.Pixels);
        form.reset();
        QCOMPARE(log, QStringList({"palette", "source", "work", "help quit"}));
        QCOMPARE(help.QuitFiles.size(), 1);
    }

    void destroyRunsOnce()
    {
        int released = 0;
        FakeHelpEngine help;
        MainFormSeams seams;
        seams.Help = &help;
        seams.Rasters.DelDib = [&released](const RasterImage &r) {
            ++released;
            deldib(r);
        };
        {
            TestMainForm form(seams);
            form.FormDestroy();
            QCOMPARE(released, 3);
        }
        QCOMPARE(released, 3);
        QCOMPARE(help.QuitFiles.size(), 1);
    }

    void closeQueryAlwaysAllows()
    {
        TestMainForm form;
        QVERIFY(form.FormCloseQuery());
    }

    void userMessageEventCarriesItsParameter()
    {
        UserMessageEvent e(40);
        QCOMPARE(e.wParam(), intptr_t(40));
        QCOMPARE(e.type(), UserMessageEvent::EventType());
        QVERIFY(e.type() >= QEvent::User && e.type() <= QEvent::MaxUser);
        // Delivering it to the window must be accepted (its handler owns the effect).
        TestMainForm form;
        QCoreApplication::sendEvent(&form, &e);
        QVERIFY(e.isAccepted());
    }

    void noDisplayGivesAClearMessage()
    {
        const QString program =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../src/tintwell");
        if (!QFileInfo::exists(program))
            QSKIP("the program is not built in this build folder");
        QProcess process;
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        env.insert(QStringLiteral("HOME"), QDir::tempPath());
        process.setProcessEnvironment(env);
        process.start(program, {});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(process.readAllStandardError())
                    .contains(QStringLiteral("xvfb-run scripts/run.sh")));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
