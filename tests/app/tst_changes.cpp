// SPDX-License-Identifier: GPL-3.0-or-later
// Changes that are not saved: the close box, Exit, Open and a dropped picture ask before
// the work is lost, and go on, save first or stop as the user answers; with nothing
// changed they ask nothing. Undoing back to what was opened or saved counts as unchanged.
#include "app/WindowFixture.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace {

const QString kQuestion =
    QStringLiteral("The picture has changes that are not saved. Save them first?");

enum class Entry { CloseBox, Exit, Open, Drop };

} // namespace

Q_DECLARE_METATYPE(Entry)
Q_DECLARE_METATYPE(MessageButton)

class TestChanges : public QObject, WindowFixture {
    Q_OBJECT

    std::unique_ptr<testsupport::TempDir> dir;
    QString file(const char *name) const { return QString::fromStdString(dir->file(name)); }

    // A small picture on disk for Open to load: 20 x 10, one colour.
    QString pictureFile()
    {
        QImage image(20, 10, QImage::Format_RGB888);
        image.fill(qRgb(10, 200, 30));
        const QString path = file("other.png");
        if (!image.save(path))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // Runs an entry point; true when it went on (the window closed, or the picture was
    // replaced by the 20 x 10 one).
    bool run(Entry entry)
    {
        switch (entry) {
        case Entry::CloseBox: return form->close() && !form->isVisible();
        case Entry::Exit: form->Exeit1->trigger(); return !form->isVisible();
        case Entry::Open:
            dialogs.OpenAnswers = {pictureFile()};
            form->Open1Click();
            return RasterWidth(form->WorkRaster) == 20;
        case Entry::Drop: {
            QMimeData carried;
            carried.setUrls({QUrl::fromLocalFile(pictureFile())});
            form->FormDragDrop(carried);
            return RasterWidth(form->WorkRaster) == 20;
        }
        }
        return false;
    }

    void entries()
    {
        QTest::addColumn<Entry>("entry");
        QTest::newRow("close box") << Entry::CloseBox;
        QTest::newRow("Exit") << Entry::Exit;
        QTest::newRow("Open") << Entry::Open;
        QTest::newRow("drop") << Entry::Drop;
    }

private slots:
    void init()
    {
        dir = std::make_unique<testsupport::TempDir>();
        openWindow();
    }
    void cleanup() { form.reset(); }

    void nothingChangedAsksNothing_data() { entries(); }
    void nothingChangedAsksNothing()
    {
        QFETCH(Entry, entry);
        QVERIFY(!form->WorkChanged());
        QVERIFY(run(entry));
        QVERIFY(messages.Boxes.isEmpty());
        QCOMPARE(dialogs.SaveCount, 0);
    }

    void changesAskAndTheAnswerDecides_data()
    {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<MessageButton>("answer");
        QTest::addColumn<bool>("saveChosen"); // the save dialog gives a name
        QTest::addColumn<bool>("goesOn");
        const std::pair<const char *, Entry> all[] = {{"close box", Entry::CloseBox},
                                                      {"Exit", Entry::Exit},
                                                      {"Open", Entry::Open},
                                                      {"drop", Entry::Drop}};
        for (const auto &[name, entry] : all) {
            QTest::addRow("%s, Save", name) << entry << MessageButton::Save << true << true;
            QTest::addRow("%s, Save cancelled", name)
                << entry << MessageButton::Save << false << false;
            QTest::addRow("%s, Discard", name) << entry << MessageButton::Discard << false << true;
            QTest::addRow("%s, Cancel", name) << entry << MessageButton::Cancel << false << false;
            // A box closed without a choice keeps the work as Cancel does.
            QTest::addRow("%s, closed", name) << entry << MessageButton::Ok << false << false;
        }
    }
    void changesAskAndTheAnswerDecides()
    {
        QFETCH(Entry, entry);
        QFETCH(MessageButton, answer);
        QFETCH(bool, saveChosen);
        QFETCH(bool, goesOn);

        stroke(QPoint(40, 40), QPoint(120, 90));
        QVERIFY(form->WorkChanged());
        const Bytes painted = Pixels(form->WorkRaster);
        const Bytes source = Pixels(form->SourceRaster);
        const QString saved = file("saved.png");
        if (saveChosen)
            dialogs.SaveAnswers = {saved};
        messages.Answer = answer;

        QCOMPARE(run(entry), goesOn);

        QCOMPARE(messages.Boxes.size(), 1);
        const FakeMessageService::Shown &box = messages.Boxes.first();
        QCOMPARE(box.Text, kQuestion);
        QCOMPARE(box.Caption, QString()); // the program's own title
        QCOMPARE(box.Buttons, MessageButton::Save | MessageButton::Discard | MessageButton::Cancel);
        QCOMPARE(dialogs.SaveCount, answer == MessageButton::Save ? 1 : 0);
        // The Open dialog comes only after the question, and only when it went on.
        if (entry == Entry::Open)
            QCOMPARE(dialogs.OpenCount, goesOn ? 1 : 0);
        if (saveChosen) {
            const QImage written(saved);
            QCOMPARE(written.size(), QSize(320, 200));
        }
        if (!goesOn) {
            QVERIFY(form->isVisible());
            QCOMPARE(Pixels(form->WorkRaster), painted);
            QCOMPARE(Pixels(form->SourceRaster), source);
            QVERIFY(form->WorkChanged());
        }
    }

    void aFailedSaveKeepsTheWindowOpen()
    {
        stroke(QPoint(40, 40), QPoint(120, 90));
        messages.Answer = MessageButton::Save;
        dialogs.SaveAnswers = {file("no-such-folder/saved.png")};
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QCOMPARE(messages.Boxes.size(), 2); // the question, then why the save failed
        QCOMPARE(messages.Boxes[1].Icon, MessageIcon::Error);
        QVERIFY(form->WorkChanged());
    }

    void undoBackToTheSavedStateCountsAsUnchanged()
    {
        stroke(QPoint(40, 40), QPoint(120, 90));
        QVERIFY(form->WorkChanged());
        form->UndoStep();
        QVERIFY(!form->WorkChanged()); // back at the picture as opened

        form->RedoStep();
        dialogs.SaveAnswers = {file("saved.png")};
        form->Saveas1Click();
        QVERIFY(!form->WorkChanged());
        form->GrrayBtnClick();
        QVERIFY(form->WorkChanged());
        form->UndoStep();
        QVERIFY(!form->WorkChanged()); // back at the picture as saved
        form->UndoStep();
        QVERIFY(form->WorkChanged()); // before the save
        // A new step from there can never lead back to the saved state.
        stroke(QPoint(10, 10), QPoint(30, 30));
        form->UndoStep();
        QVERIFY(form->WorkChanged());

        QVERIFY(run(Entry::Exit) == false); // the fake answers Ok: kept
        QCOMPARE(messages.Boxes.size(), 1);
    }

    void openingAPictureStartsUnchanged()
    {
        stroke(QPoint(40, 40), QPoint(120, 90));
        messages.Answer = MessageButton::Discard;
        QVERIFY(run(Entry::Open));
        QVERIFY(!form->WorkChanged());
        messages.Boxes.clear();
        QVERIFY(run(Entry::Exit));
        QVERIFY(messages.Boxes.isEmpty());
    }
};

QTEST_MAIN(TestChanges)
#include "tst_changes.moc"
