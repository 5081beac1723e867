// SPDX-License-Identifier: GPL-3.0-or-later
// Files from the desktop: the file named on the command line ("Open with") and a file
// dropped on the main window open as from the Open command; other drops are refused.
#include "app/CommandLineFile.h"
#include "app/DroppedPicture.h"
#include "app/WindowFixture.h"
#include "support/BmpBuilder.h"
#include "support/TestSupport.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace {

// What a drag carries: local files, other URLs, text.
std::unique_ptr<QMimeData> Carrying(const QList<QUrl> &urls, const QString &text = QString())
{
    auto data = std::make_unique<QMimeData>();
    if (!urls.isEmpty())
        data->setUrls(urls);
    if (!text.isNull())
        data->setText(text);
    return data;
}

} // namespace

class TestDesktop : public QObject, WindowFixture {
    Q_OBJECT

    testsupport::TempDir dir;
    const testsupport::Picture picture = testsupport::Pattern(23, 17, 24);

    QString writePicture(const std::string &name)
    {
        const std::string path = dir.file(name);
        testsupport::WriteFileBytes(path, testsupport::MakeBmp(picture));
        return QString::fromStdString(path);
    }

    // Both rasters hold the test picture.
    void verifyOpened()
    {
        for (const RasterImage *r : {&form->SourceRaster, &form->WorkRaster}) {
            QCOMPARE(RasterWidth(*r), picture.width);
            QCOMPARE(RasterHeight(*r), picture.height);
            const uint8_t *p = PictureRow(*r, 5) + 3 * 7;
            const testsupport::Rgb want = testsupport::Expected(picture, 7, 5);
            QCOMPARE((testsupport::Rgb{p[2], p[1], p[0]}), want);
        }
        QCOMPARE(form->PaintBox1->size(), QSize(picture.width, picture.height));
        verifyView();
    }

    void verifyStillWhite()
    {
        QCOMPARE(RasterWidth(form->WorkRaster), 320);
        QCOMPARE(RasterHeight(form->WorkRaster), 200);
    }

    // Drags data over the window and drops it; whether the window took it.
    bool drop(const QMimeData &data)
    {
        const QPoint at(300, 250);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                              Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                            Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &move);
        QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                           Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &dropped);
        if (enter.isAccepted() != move.isAccepted() || move.isAccepted() != dropped.isAccepted())
            qWarning("enter, move and drop disagree");
        return enter.isAccepted() && dropped.isAccepted();
    }

private slots:
    void init() { openWindow(); }
    void cleanup() { form.reset(); }

    void commandLineFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::newRow("none") << QStringList{"tintwell"} << QString();
        QTest::newRow("path") << QStringList{"tintwell", "/photos/scan 1.png"}
                              << "/photos/scan 1.png";
        QTest::newRow("relative path") << QStringList{"tintwell", "scan.tif"} << "scan.tif";
        QTest::newRow("the first of two") << QStringList{"tintwell", "a.png", "b.png"} << "a.png";
        QTest::newRow("file URL with escapes")
            << QStringList{"tintwell", "file:///photos/Gro%C3%9Fvater%20am%20See.jpg"}
            << QString::fromUtf8("/photos/Großvater am See.jpg");
        QTest::newRow("file URL with a host of its own")
            << QStringList{"tintwell", "FILE://localhost/photos/a%25b.png"} << "/photos/a%b.png";
        QTest::newRow("a name beginning file but no URL")
            << QStringList{"tintwell", "file:%zz"} << "file:%zz";
        QTest::newRow("a file URL with a bare blank and a stray percent sign")
            << QStringList{"tintwell", "file:///a b%zz.png"} << "/a b%zz.png";
    }
    void commandLineFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QCOMPARE(CommandLineFile(arguments), file);
    }

    void startedWithAFileOpensIt()
    {
        const QString file = writePicture("started with.bmp");
        form->OpenCommandLine({"tintwell", file, "ignored.bmp"});
        QVERIFY(messages.Boxes.isEmpty());
        verifyOpened();
    }

    void startedWithAFileURLOpensIt()
    {
        const QString file = writePicture("Großvater am See.bmp");
        form->OpenCommandLine({"tintwell", QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
        QVERIFY(messages.Boxes.isEmpty());
        verifyOpened();
    }

    void startedWithAMissingFileSaysSoAndKeepsThePicture()
    {
        const QString file = QString::fromStdString(dir.file("not there.bmp"));
        form->OpenCommandLine({"tintwell", file});
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(messages.Boxes.first().Caption,
                 QStringLiteral("Error: The file %1 could not be loaded!").arg(file));
        QCOMPARE(messages.Boxes.first().Buttons, MessageButtons(MessageButton::Ok));
        verifyStillWhite();
        verifyView();
    }

    void startedWithoutAFileKeepsTheStartPicture()
    {
        form->OpenCommandLine({"tintwell"});
        QVERIFY(messages.Boxes.isEmpty());
        verifyStillWhite();
    }

    void droppingOnePictureOpensIt()
    {
        const QString file = writePicture("dropped.BMP");
        QVERIFY(drop(*Carrying({QUrl::fromLocalFile(file)}, file)));
        QVERIFY(messages.Boxes.isEmpty());
        verifyOpened();
    }

    void otherDropsAreRefusedAndDoNothing_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("text") << "text";
        QTest::newRow("two pictures") << "two";
        QTest::newRow("a remote picture") << "remote";
        QTest::newRow("a text file") << "txt";
    }
    void otherDropsAreRefusedAndDoNothing()
    {
        QFETCH(QString, what);
        const QUrl png = QUrl::fromLocalFile(writePicture("p.png"));
        std::unique_ptr<QMimeData> data;
        if (what == "text")
            data = Carrying({}, png.toLocalFile());
        else if (what == "two")
            data = Carrying({png, QUrl::fromLocalFile(writePicture("q.bmp"))});
        else if (what == "remote")
            data = Carrying({QUrl(QStringLiteral("https://example.org/p.png"))});
        else
            data = Carrying({QUrl::fromLocalFile(writePicture("notes.txt"))});
        QVERIFY(!drop(*data));
        QVERIFY(messages.Boxes.isEmpty());
        verifyStillWhite();
    }

    void everyOpenDialogPatternIsAPicture()
    {
        const QStringList patterns = form->OpenDialog1.Filter.split('|').at(1).split(';');
        QCOMPARE(patterns.size(), 13); // the twelve picture types and work files
        for (const QString &p : patterns) {
            const QString name = "/a/b" + p.mid(1).toLower();
            QCOMPARE(
                DroppedPicture(*Carrying({QUrl::fromLocalFile(name)}), form->OpenDialog1.Filter),
                name);
        }
        QVERIFY(DroppedPicture(*Carrying({QUrl::fromLocalFile("/a/bmp")}), form->OpenDialog1.Filter)
                    .isEmpty());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
