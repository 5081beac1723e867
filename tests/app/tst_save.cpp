// SPDX-License-Identifier: GPL-3.0-or-later
// Save as: the format chosen from the extension, exact round trips of the work raster,
// refused names, cancelling, and failures that must leave an existing file untouched.
#include "app/WindowFixture.h"
#include "document/RasterQImage.h"
#include "platform/rastix/Rastix.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QtTest>

#include <unistd.h>

#include <memory>

using testsupport::RgbPicture;

namespace {

// A 24-bit raster whose every pixel differs in all three channels from its neighbours.
RasterImage PatternRaster(int w, int h)
{
    RasterImage r = newdib(w, h, 24, nullptr, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t red = uint32_t(x * 7 + y * 3) & 0xFF;
            const uint32_t green = uint32_t(x * 11 + y * 29 + 5) & 0xFF;
            const uint32_t blue = uint32_t(255 - x * 5 - y * 13) & 0xFF;
            setpixel(r, x, y, red + 256 * green + 65536 * blue);
        }
    return r;
}

RgbPicture FromQImage(const QImage &in)
{
    const QImage image = in.convertToFormat(QImage::Format_RGB888);
    RgbPicture p;
    p.width = image.width();
    p.height = image.height();
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        p.rgb.insert(p.rgb.end(), line, line + 3 * image.width());
    }
    return p;
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSave : public QObject {
    Q_OBJECT

private:
    FakeMessageService messages;
    FakeFileDialogService dialogs;
    std::unique_ptr<TestMainForm> form;
    std::unique_ptr<testsupport::TempDir> dir;

    QString file(const char *name) const { return QString::fromStdString(dir->file(name)); }
    void putPattern(int w, int h)
    {
        deldib(form->WorkRaster);
        form->WorkRaster = PatternRaster(w, h);
    }
    void saveAs(const QString &path)
    {
        dialogs.SaveAnswers = {path};
        form->Saveas1Click();
    }

private slots:
    void init()
    {
        messages.Boxes.clear();
        dialogs = FakeFileDialogService();
        dir = std::make_unique<testsupport::TempDir>();
        form = std::make_unique<TestMainForm>(MainFormSeams{&messages, &dialogs, nullptr, {}});
    }
    void cleanup()
    {
        form.reset();
        dir.reset();
    }

    void lossless_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << "pattern.png" << QByteArray("png");
        QTest::newRow("bmp") << "pattern.bmp" << QByteArray("bmp");
        QTest::newRow("dib") << "pattern.dib" << QByteArray("bmp");
        QTest::newRow("tif") << "pattern.tif" << QByteArray("tiff");
        QTest::newRow("tiff") << "pattern.TIFF" << QByteArray("tiff");
    }
    void lossless()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        if (!QImageWriter::supportedImageFormats().contains(format))
            QSKIP("no writer for this format installed");
        // Odd width: rows of the raster carry padding the file must not.
        putPattern(37, 23);
        const QString path = dir->file(name.toStdString()).c_str();
        saveAs(path);
        QVERIFY2(messages.Boxes.isEmpty(),
                 messages.Boxes.isEmpty() ? "" : qPrintable(messages.Boxes.first().Text));
        const RgbPicture expected = testsupport::RasterToRgb(form->WorkRaster);

        // Read back by Qt, found from the content, not the name.
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), format);
        QCOMPARE(FromQImage(reader.read()), expected);

        // And by the program's own loader.
        const RasterImage loaded = OpenDib(path.toLocal8Bit().constData());
        if (!loaded.Pixels) {
            const std::string error = RasterErrorText(loaded);
            deldib(loaded);
            QSKIP(qPrintable(QStringLiteral("the loader cannot read this file yet: ")
                             + QString::fromStdString(error)));
        }
        const RgbPicture opened = testsupport::RasterToRgb(loaded);
        deldib(loaded);
        QCOMPARE(opened, expected);
    }

    void jpegAtQuality95()
    {
        // A smooth picture: the loss at quality 95 is small everywhere, and the file is
        // larger than the same picture at the writer's default quality.
        deldib(form->WorkRaster);
        form->WorkRaster = newdib(64, 48, 24, nullptr, 0);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                setpixel(form->WorkRaster, x, y,
                         uint32_t(x * 4) + 256u * uint32_t(y * 5) + 65536u * uint32_t(128 + x - y));
        const QString path = file("pattern.jpg");
        saveAs(path);
        QVERIFY(messages.Boxes.isEmpty());
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const RgbPicture back = FromQImage(reader.read());
        const RgbPicture expected = testsupport::RasterToRgb(form->WorkRaster);
        QCOMPARE(back.width, 64);
        QCOMPARE(back.height, 48);
        int worst = 0;
        for (size_t i = 0; i < back.rgb.size(); ++i)
            worst = std::max(worst, std::abs(int(back.rgb[i]) - int(expected.rgb[i])));
        QVERIFY2(worst <= 12, qPrintable(QString::number(worst)));

        QByteArray lower;
        QBuffer buffer(&lower);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter defaultQuality(&buffer, "jpeg");
        defaultQuality.setQuality(75);
        QVERIFY(defaultQuality.write(document::RasterToQImage(form->WorkRaster)));
        QVERIFY(QFileInfo(path).size() > lower.size());
    }

    void unknownExtensionWritesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("none") << "picture";
        QTest::newRow("gif") << "picture.gif";
        QTest::newRow("txt") << "picture.png.txt";
    }
    void unknownExtensionWritesNothing()
    {
        QFETCH(QString, name);
        const QString path = dir->file(name.toStdString()).c_str();
        saveAs(path);
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(messages.Boxes.size(), 1);
        QVERIFY(messages.Boxes.first().Text.contains(QStringLiteral(".png")));
        QVERIFY(messages.Boxes.first().Text.contains(QStringLiteral(".tif")));
        QCOMPARE(QDir(QString::fromStdString(dir->path().string()))
                     .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                     .size(),
                 0);
    }

    void cancelDoesNothing()
    {
        dialogs.SaveAnswers.clear();
        form->Saveas1Click();
        QCOMPARE(dialogs.SaveCount, 1);
        QVERIFY(messages.Boxes.isEmpty());
        QCOMPARE(QDir(QString::fromStdString(dir->path().string()))
                     .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                     .size(),
                 0);
    }

    void overwriteReplacesTheWholeFile()
    {
        const QString path = file("picture.png");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'x')); // longer than the new file
        f.close();
        putPattern(5, 4);
        saveAs(path);
        QVERIFY(messages.Boxes.isEmpty());
        QCOMPARE(FromQImage(QImage(path)), testsupport::RasterToRgb(form->WorkRaster));
        QVERIFY(QFileInfo(path).size() < 100000);
    }

    void writerFailureKeepsTheExistingFile()
    {
        // JPEG holds at most 65500 columns; newdib allows 65535, so the writer fails
        // after the file was opened for writing.
        const QString path = file("keep.jpg");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("the old contents");
        f.close();
        deldib(form->WorkRaster);
        form->WorkRaster = newdib(65535, 1, 24, nullptr, 0);
        QVERIFY(form->WorkRaster.Pixels);
        saveAs(path);
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(messages.Boxes.first().Icon, MessageIcon::Error);
        QVERIFY(messages.Boxes.first().Text.contains(path));
        QCOMPARE(FileBytes(path), QByteArray("the old contents"));
        QCOMPARE(QDir(QString::fromStdString(dir->path().string()))
                     .entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList({"keep.jpg"})); // no temporary file left behind
    }

    void folderThatIsAFileIsReported()
    {
        // Works also for root, who may write into read-only folders.
        const QString notAFolder = file("plain-file");
        QFile f(notAFolder);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("data");
        f.close();
        saveAs(notAFolder + QStringLiteral("/picture.png"));
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(messages.Boxes.first().Icon, MessageIcon::Error);
        QVERIFY(messages.Boxes.first().Text.contains(QStringLiteral("picture.png")));
        QCOMPARE(FileBytes(notAFolder), QByteArray("data"));
    }

    void missingFolderIsReported()
    {
        saveAs(file("gone") + QStringLiteral("/picture.bmp"));
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(messages.Boxes.first().Icon, MessageIcon::Error);
    }

    void readOnlyFolderKeepsTheExistingFile()
    {
        if (geteuid() == 0)
            QSKIP("root may write into a read-only folder; writerFailureKeepsTheExistingFile "
                  "covers the same promise");
        const QString folder = file("locked");
        QVERIFY(QDir().mkdir(folder));
        const QString path = folder + QStringLiteral("/keep.png");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
        f.close();
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        saveAs(path);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(FileBytes(path), QByteArray("old"));
    }
};

QTEST_MAIN(TestSave)
#include "tst_save.moc"
