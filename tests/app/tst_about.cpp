// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: its picture (decoded from JPEG as libjpeg's own tool decodes it), its
// layout and texts, the year of the rights line, the one box the About command shows,
// and the web button.
#include "app/AboutBox.h"
#include "app/WhileModal.h"
#include "app/WindowFixture.h"
#include "widgets/JpegImage.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {

// The about box's controls, by the names it gives them.
struct AboutControls {
    QFrame *Panel1;
    QLabel *ProgramIcon;
    QLabel *ProductName;
    QLabel *Copyright;
    QLabel *Comments;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QPushButton *BitBtnXP1;
    QPushButton *BitBtn1;
};

AboutControls Controls(const QWidget &box)
{
    return {Control<QFrame>(box, "Panel1"),         Control<QLabel>(box, "ProgramIcon"),
            Control<QLabel>(box, "ProductName"),    Control<QLabel>(box, "Copyright"),
            Control<QLabel>(box, "Comments"),       Control<QLabel>(box, "Label1"),
            Control<QLabel>(box, "Label2"),         Control<QLabel>(box, "Label3"),
            Control<QPushButton>(box, "BitBtnXP1"), Control<QPushButton>(box, "BitBtn1")};
}

QByteArray ResourceBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The picture as djpeg (libjpeg-turbo's own decoder) writes it, or a null image.
QImage DecodedByDjpeg(const QByteArray &jpeg)
{
    QProcess djpeg;
    djpeg.start(QStringLiteral("djpeg"), {QStringLiteral("-ppm")});
    djpeg.write(jpeg);
    djpeg.closeWriteChannel();
    djpeg.waitForFinished(20000);
    return QImage::fromData(djpeg.readAllStandardOutput(), "PPM")
        .convertToFormat(QImage::Format_RGB888);
}

// How far from grey a pixel is: the spread of its three channels.
int Chroma(QRgb c)
{
    return std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)});
}

// The label's text laid out in its width as the label does (whole lines), or for a
// one-line label the ink of its glyphs.
QSize TextExtent(const QLabel *label)
{
    const QFontMetrics metrics(label->font());
    if (label->wordWrap())
        return metrics
            .boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap, label->text())
            .size();
    const QRect ink = metrics.tightBoundingRect(label->text());
    return QSize(std::max(ink.right() + 1, metrics.horizontalAdvance(label->text())),
                 metrics.ascent() + ink.bottom() + 1);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void pictureDecodesAsLibjpegsOwnTool()
    {
        TAboutBox box; // registers the resources
        const QByteArray jpeg = ResourceBytes(QStringLiteral(":/dialogs/about.jpg"));
        QVERIFY(jpeg.startsWith("\xff\xd8"));
        const QImage reference = DecodedByDjpeg(jpeg);
        QVERIFY2(!reference.isNull(), "djpeg (libjpeg-turbo-progs) must be installed");
        const QImage decoded = DecodeJpeg(jpeg);
        QCOMPARE(decoded.size(), QSize(306, 322));
        QCOMPARE(decoded.format(), QImage::Format_RGB888);
        QCOMPARE(decoded, reference);
    }

    void damagedJpegGivesNoPicture()
    {
        TAboutBox box;
        const QByteArray jpeg = ResourceBytes(QStringLiteral(":/dialogs/about.jpg"));
        for (const QByteArray &damaged : {QByteArray(), jpeg.left(2), jpeg.left(600),
                                          jpeg.left(12000), jpeg.chopped(2), QByteArray(5000, 'x')})
            QVERIFY(DecodeJpeg(damaged).isNull());
    }

    void pictureIsHalfHandColoured()
    {
        TAboutBox box;
        const QImage picture = Controls(box).ProgramIcon->pixmap().toImage();
        QCOMPARE(picture.size(), QSize(306, 322));
        QCOMPARE(Controls(box).ProgramIcon->size(), QSize(306, 322));
        // Inside the photo's paper margin: colour on the left, grey on the right.
        long leftChroma = 0;
        long rightChroma = 0;
        for (int y = 20; y < 300; ++y)
            for (int x = 20; x < 286; ++x) {
                if (x < 120)
                    leftChroma += Chroma(picture.pixel(x, y));
                else if (x > 185)
                    rightChroma += Chroma(picture.pixel(x, y));
            }
        QVERIFY2(leftChroma > 20 * rightChroma,
                 qPrintable(QStringLiteral("%1 %2").arg(leftChroma).arg(rightChroma)));
    }

    void fixedDialogWithItsPanelColourAndControlsInside()
    {
        TAboutBox box;
        QCOMPARE(box.minimumSize(), QSize(664, 453));
        QCOMPARE(box.maximumSize(), QSize(664, 453));
        QVERIFY(box.isModal() && box.isHidden());
        QVERIFY(
            !(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QImage panel = Controls(box).Panel1->grab().toImage();
        // An empty spot below the web button, and the bevel's dark outer line.
        QCOMPARE(QColor(panel.pixel(600, 360)), QColor(240, 202, 166));
        QVERIFY(qGray(panel.pixel(0, 100)) < qGray(panel.pixel(1, 100)));
        const QRect inside = Controls(box).Panel1->rect().adjusted(2, 2, -2, -2);
        for (QWidget *child :
             Controls(box).Panel1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(inside.contains(child->geometry()), qPrintable(child->objectName()));
        QVERIFY(
            !Controls(box).ProgramIcon->geometry().intersects(Controls(box).Copyright->geometry()));
        QVERIFY(!Controls(box).Panel1->geometry().intersects(Controls(box).BitBtn1->geometry()));
    }

    void everyTextFitsItsPlace()
    {
        TAboutBox box;
        // Labels with a fixed size: the text must not be cut off.
        for (QLabel *label :
             {Controls(box).ProductName, Controls(box).Copyright, Controls(box).Comments}) {
            const QSize text = TextExtent(label);
            QVERIFY2(text.width() <= label->width() && text.height() <= label->height(),
                     qPrintable(label->objectName()));
        }
        // The paragraph ends above the web button; the one-line labels stay clear of
        // the next line and of the panel's edge.
        QVERIFY(Controls(box).Label3->y() + TextExtent(Controls(box).Label3).height()
                <= Controls(box).BitBtnXP1->y());
        QVERIFY(Controls(box).Label1->geometry().bottom() < Controls(box).Label2->y());
        QVERIFY(Controls(box).Label2->geometry().bottom() < Controls(box).Label3->y());
        for (QLabel *label : {Controls(box).Label1, Controls(box).Label2})
            QVERIFY(label->geometry().right() < Controls(box).Panel1->width() - 2);
    }

    void okIsTheDefaultAndEnterCloses()
    {
        TAboutBox box;
        QVERIFY(Controls(box).BitBtn1->isDefault());
        int result = -1;
        WhileModal([&] { result = box.exec(); },
                   [](QWidget *shown) { QTest::keyClick(shown, Qt::Key_Return); });
        QCOMPARE(result, int(QDialog::Accepted));
    }

    void yearReplacesTheFirstPlaceholderOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("expected");
        QTest::newRow("as created") << QString() << 2026 << "Copyright © 2026 Merrow Software";
        QTest::newRow("one") << "© XXXX Merrow" << 2026 << "© 2026 Merrow";
        QTest::newRow("two") << "© XXXX-XXXX Merrow" << 2026 << "© 2026-XXXX Merrow";
        QTest::newRow("none: year in front") << "Merrow" << 2026 << "2026Merrow";
        QTest::newRow("empty") << QString("") << 2031 << "2031";
        QTest::newRow("at the start") << "XXXX Merrow" << 1999 << "1999 Merrow";
        QTest::newRow("at the end") << "Merrow XXXX" << 1999 << "Merrow 1999";
        QTest::newRow("five X") << "XXXXX" << 2026 << "2026X";
        QTest::newRow("lower case is no placeholder") << "xxxx" << 2026 << "2026xxxx";
        QTest::newRow("short year, no leading zeros") << "(XXXX)" << 987 << "(987)";
    }
    void yearReplacesTheFirstPlaceholderOnly()
    {
        QFETCH(QString, text);
        QFETCH(int, year);
        QFETCH(QString, expected);
        FakeClock clock(year);
        TAboutBox box({&clock, nullptr});
        if (!text.isNull()) {
            Controls(box).Copyright->setText(text);
            box.FormCreate();
        }
        QCOMPARE(Controls(box).Copyright->text(), expected);
    }

    void aboutShowsTheOneBoxWithTheStartUpYear()
    {
        TestMainForm form;
        FakeClock clock(2026);
        TAboutBox box({&clock, nullptr}, &form);
        form.AboutBox = &box;
        for (int year : {2027, 2031}) {
            clock.Year = year; // the new year comes while the program runs
            WhileModal([&] { form.About1Click(); },
                       [&](QWidget *modal) {
                           QCOMPARE(modal, &box);
                           QCOMPARE(Controls(box).Copyright->text(),
                                    QStringLiteral("Copyright © 2026 Merrow Software"));
                           QTest::mouseClick(Controls(box).BitBtn1, Qt::LeftButton);
                       });
            QVERIFY(box.isHidden());
        }
    }

    void webButtonAsksTheShellAndTheBoxStays_data()
    {
        QTest::addColumn<bool>("shellSucceeds");
        QTest::newRow("opened") << true;
        QTest::newRow("shell failed") << false;
    }
    void webButtonAsksTheShellAndTheBoxStays()
    {
        QFETCH(bool, shellSucceeds);
        FakeShellService shell;
        shell.Answer = shellSucceeds;
        TAboutBox box({nullptr, &shell});
        const QUrl site(TAboutBox::WebAddress());
        QVERIFY(site.isValid() && site.scheme() == QStringLiteral("https"));
        QCOMPARE(Controls(box).BitBtnXP1->text(), site.host());
        int result = -1;
        WhileModal([&] { result = box.exec(); },
                   [&](QWidget *) {
                       QTest::mouseClick(Controls(box).BitBtnXP1, Qt::LeftButton);
                       QCOMPARE(shell.Requests.size(), 1);
                       QCOMPARE(shell.Requests.first().Address, TAboutBox::WebAddress());
                       QCOMPARE(shell.Requests.first().Parent.data(), &box);
                       QCOMPARE(QApplication::activeModalWidget(), &box); // still open
                       box.reject();
                   });
        QCOMPARE(result, int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
