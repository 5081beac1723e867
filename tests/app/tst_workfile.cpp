// SPDX-License-Identifier: GPL-3.0-or-later
// Work files through the window: painted work saved as .ora and opened in a fresh
// window comes back as it was (both rasters, the colour, tool and zoom), unchanged, and
// the eraser, "Colorize everything" and undo work on it as before saving. Damaged files
// give a message and change nothing.
#include "app/WindowFixture.h"
#include "document/StrokeRecordBytes.h"
#include "support/HostileWorkFiles.h"
#include "support/TestSupport.h"

#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TestWorkFile : public QObject, WindowFixture {
    Q_OBJECT

    std::unique_ptr<testsupport::TempDir> dir;
    QString file(const char *name) const { return QString::fromStdString(dir->file(name)); }

    void open(const QString &path)
    {
        dialogs.OpenAnswers = {path};
        form->Open1Click();
    }

private slots:
    void init()
    {
        dir = std::make_unique<testsupport::TempDir>();
        openWindow();
    }
    void cleanup() { form.reset(); }

    void savedWorkOpensAsItWasInAFreshWindow()
    {
        patternPicture();
        form->ToolButton2->click(); // "Sky"
        form->BrightEd->setValue(15);
        stroke(QPoint(40, 40), QPoint(200, 120));
        form->ZoomEd->setValue(150);
        form->RadiergummiBtn->click();
        const Bytes source = Pixels(form->SourceRaster);
        const Bytes work = Pixels(form->WorkRaster);
        QVERIFY(work != source);
        const int32_t hue = form->CurHue, sat = form->CurSat;
        const QByteArray strokes = document::StrokeRecordToBytes(form->UndoHistory.Record());
        QVERIFY(!strokes.isEmpty());

        dialogs.SaveAnswers = {file("family.ora")};
        form->Saveas1Click();
        QVERIFY(messages.Boxes.isEmpty());
        QVERIFY(!form->WorkChanged());
        form->ColorierenBtn->click();
        form->ColorAllBtnClick();
        const Bytes colouredAll = Pixels(form->WorkRaster);

        openWindow();
        open(file("family.ora"));
        QVERIFY2(messages.Boxes.isEmpty(),
                 messages.Boxes.isEmpty() ? "" : qPrintable(messages.Boxes[0].Text));
        QCOMPARE(Pixels(form->SourceRaster), source);
        QCOMPARE(Pixels(form->WorkRaster), work);
        QCOMPARE(form->CurHue, hue);
        QCOMPARE(form->CurSat, sat);
        QCOMPARE(form->BrightEd->value(), 15);
        QCOMPARE(form->ZoomEd->value(), 150);
        QVERIFY(form->RadiergummiBtn->isChecked());
        QCOMPARE(form->PaintBox1->width(), 320 * 150 / 100);
        QVERIFY(!form->WorkChanged());
        QVERIFY(!form->UndoHistory.CanUndo()); // a new history
        // Which stroke painted each pixel, as before saving.
        QCOMPARE(document::StrokeRecordToBytes(form->UndoHistory.Record()), strokes);
        verifyView();

        // The eraser brings back the original, not the colours saved.
        form->RadiusED->setValue(100);
        for (int y = 0; y < 320; y += 60)
            stroke(QPoint(0, y), QPoint(480, y));
        QCOMPARE(Pixels(form->WorkRaster), source);
        // Undo goes back to the work as opened.
        while (form->UndoHistory.CanUndo())
            form->UndoStep();
        QCOMPARE(Pixels(form->WorkRaster), work);
        QVERIFY(!form->WorkChanged());

        // "Colorize everything" takes its greys from the original as before saving.
        form->ColorierenBtn->click();
        form->ColorAllBtnClick();
        QCOMPARE(Pixels(form->WorkRaster), colouredAll);
    }

    void aWorkFileWithoutStateOpensWithTheStartUpDefaults()
    {
        form->ToolButton2->click();
        stroke(QPoint(40, 40), QPoint(200, 120));
        dialogs.SaveAnswers = {file("work.ora")};
        form->Saveas1Click();
        // The same archive without its state file, as another program might keep it.
        const std::string path = dir->file("work.ora");
        QCOMPARE(testsupport::Run("python3 -c \"import zipfile; z = zipfile.ZipFile('" + path
                                  + "'); o = zipfile.ZipFile('" + path
                                  + ".2.ora', 'w'); [o.writestr(i, z.read(i)) for i in "
                                    "z.infolist() if not i.filename.startswith('tintwell/')]; "
                                    "o.close()\""),
                 0);
        const Bytes work = Pixels(form->WorkRaster);
        form->ToolButton5->click(); // "Grass"
        form->ZoomEd->setValue(300);
        form->BrightEd->setValue(-40);
        open(QString::fromStdString(path + ".2.ora"));
        QVERIFY(messages.Boxes.isEmpty());
        QCOMPARE(Pixels(form->WorkRaster), work);
        QCOMPARE(form->CurHue, 20);
        QCOMPARE(form->CurSat, 141);
        QCOMPARE(form->BrightEd->value(), 0);
        QCOMPARE(form->ZoomEd->value(), 100);
        QVERIFY(form->ColorierenBtn->isChecked());
    }

    void aDamagedWorkFileGivesAMessageAndChangesNothing()
    {
        patternPicture();
        stroke(QPoint(40, 40), QPoint(200, 120));
        dialogs.SaveAnswers = {file("valid.ora")};
        form->Saveas1Click();
        const std::vector<uint8_t> valid = testsupport::ReadFileBytes(dir->file("valid.ora"));
        form->ToolButton4->click();
        stroke(QPoint(10, 10), QPoint(20, 90)); // changes since the save
        const Bytes source = Pixels(form->SourceRaster), work = Pixels(form->WorkRaster);
        const int32_t hue = form->CurHue;
        for (const hostile::HostileFile &bad : hostile::HostileWorkFiles(valid)) {
            const std::string path = dir->file("bad.ora");
            QVERIFY(testsupport::WriteFileBytes(path, bad.bytes));
            messages.Boxes.clear();
            messages.Answer = MessageButton::Discard;
            open(QString::fromStdString(path));
            QVERIFY2(messages.Boxes.size() == 2, bad.name.c_str()); // the question, the refusal
            QVERIFY2(messages.Boxes[1].Caption.contains(QStringLiteral("could not be loaded")),
                     bad.name.c_str());
            QVERIFY2(Pixels(form->SourceRaster) == source, bad.name.c_str());
            QVERIFY2(Pixels(form->WorkRaster) == work, bad.name.c_str());
            QCOMPARE(form->CurHue, hue);
            QVERIFY(form->WorkChanged());
        }
        verifyView();
    }

    void aFailedSaveShowsWhyAndKeepsTheChanges()
    {
        stroke(QPoint(40, 40), QPoint(200, 120));
        dialogs.SaveAnswers = {file("missing/work.ora")};
        form->Saveas1Click();
        QCOMPARE(messages.Boxes.size(), 1);
        QVERIFY(messages.Boxes[0].Text.contains(QStringLiteral("could not be saved")));
        QVERIFY(form->WorkChanged());
    }
};

QTEST_MAIN(TestWorkFile)
#include "tst_workfile.moc"
