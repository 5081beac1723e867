// SPDX-License-Identifier: GPL-3.0-or-later
// The print dialog and the Print command: defaults and ranges, the preview (redrawn at
// once on every change, as the drawing routine draws it), the printer setup, the
// remembered settings across a restart, and printing to a PDF file that is rendered
// back to find the picture where it was placed.
#include "app/PrintForm.h"
#include "app/WhileModal.h"
#include "app/WindowFixture.h"
#include "platform/gdi/TestDC.h"
#include "platform/rastix/Rastix.h"
#include "view/PrintPreview.h"
#include "view/PrintRaster.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

namespace {

// The controls of the print dialog the tests drive, by the names it gives them.
struct PrintControls {
    SurfacePaintBox *PrintPaintBox;
    QGroupBox *GroupBox1;
    QRadioButton *UseFullCheck;
    QRadioButton *UserdefCheck;
    QLabel *RxLabel2;
    SpinEdit *BreitEdit;
    QLabel *RxLabel3;
    SpinEdit *HochEdit;
    QCheckBox *SverhCheck;
    QCheckBox *ZentrCheck;
    QPushButton *OkBitBtn1;
    QPushButton *PrintSetupBtn;
    QPushButton *CancelBitBtn2;
};

PrintControls Controls(const QWidget &dialog)
{
    return {Control<SurfacePaintBox>(dialog, "PrintPaintBox"),
            Control<QGroupBox>(dialog, "GroupBox1"),
            Control<QRadioButton>(dialog, "UseFullCheck"),
            Control<QRadioButton>(dialog, "UserdefCheck"),
            Control<QLabel>(dialog, "RxLabel2"),
            Control<SpinEdit>(dialog, "BreitEdit"),
            Control<QLabel>(dialog, "RxLabel3"),
            Control<SpinEdit>(dialog, "HochEdit"),
            Control<QCheckBox>(dialog, "SverhCheck"),
            Control<QCheckBox>(dialog, "ZentrCheck"),
            Control<QPushButton>(dialog, "OkBitBtn1"),
            Control<QPushButton>(dialog, "PrintSetupBtn"),
            Control<QPushButton>(dialog, "CancelBitBtn2")};
}

// Screen colours of the picture's quarters, red in the low byte.
constexpr uint32_t kQuarters[4] = {0x0000ff, 0x00ff00, 0xff0000, 0x00ffff};

// Red and green above blue and yellow.
RasterImage Quarters(int width, int height)
{
    RasterImage raster = newdib(width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(raster, x, y, kQuarters[(y >= height / 2) * 2 + (x >= width / 2)]);
    return raster;
}

void ToPdf(QPrinter &printer, const QString &file,
           QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation);
}

// The PDF's page count (pdfinfo) and its first page at dpi (pdftoppm).
std::pair<int, QImage> Render(const QString &pdf, int dpi)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(20000);
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
            .match(QString::fromUtf8(info.readAllStandardOutput()));
    const QString base = pdf + QStringLiteral(".render");
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi),
                                                   QStringLiteral("-singlefile"), pdf, base});
    return {pages.hasMatch() ? pages.captured(1).toInt() : 0,
            QImage(base + QStringLiteral(".ppm"))};
}

// The preview the drawing routine draws for the dialog's page and choice now.
QImage ExpectedPreview(const TPrintForm &dialog, const RasterImage &picture)
{
    gdi::TestDC dc({.width = 190, .height = 190});
    const QColor face = dialog.palette().color(QPalette::Button);
    view::PaintPrintPreview(&dc, 190, 190, RGB(face.red(), face.green(), face.blue()),
                            dialog.Page(), picture, dialog.Choice());
    return dc.Image().convertToFormat(QImage::Format_RGB32);
}

QImage ShownPreview(const TPrintForm &dialog)
{
    return Controls(dialog).PrintPaintBox->Surface().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    RasterImage picture_{};
    FakeMessageService messages_;
    FakePrinterSetupService setup_;

    SettingsStore Store() const { return SettingsStore(folder_.filePath(QStringLiteral("cfg"))); }
    QString SettingsFile() const
    {
        return folder_.filePath(
            QStringLiteral("cfg/Software/%1.conf").arg(SettingsStore::ProgramName()));
    }
    // A main window as the program makes it, with a 640 x 480 picture in four colours.
    std::unique_ptr<TestMainForm> Window()
    {
        auto form = std::make_unique<TestMainForm>(
            MainFormSeams{&messages_, nullptr, nullptr, {}, &setup_, Store()});
        deldib(form->WorkRaster);
        form->WorkRaster = Quarters(640, 480);
        return form;
    }
    // Runs Print, letting act drive the dialog.
    static void Print(TestMainForm &form, const std::function<void(TPrintForm &)> &act)
    {
        WhileModal([&] { form.Print1Click(); },
                   [&](QWidget *shown) { act(*qobject_cast<TPrintForm *>(shown)); });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder_.isValid());
        picture_ = Quarters(64, 48);
    }
    void cleanupTestCase() { deldib(picture_); }
    void init()
    {
        QDir(folder_.filePath(QStringLiteral("cfg"))).removeRecursively();
        messages_.Boxes.clear();
        setup_ = FakePrinterSetupService();
    }

    void defaultsRangesAndTheHeightBox()
    {
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        dialog.show();
        QCOMPARE(dialog.Choice(), view::PrintChoice{}); // page fully, both options, 50 %
        QVERIFY(Controls(dialog).UseFullCheck->isChecked()
                && !Controls(dialog).UserdefCheck->isChecked());
        for (SpinEdit *edit : {Controls(dialog).BreitEdit, Controls(dialog).HochEdit}) {
            QCOMPARE(edit->minimum(), 1);
            QCOMPARE(edit->maximum(), 100);
            QVERIFY(!edit->isEnabled());
        }
        // The height box is the dialog's, but sits in the group under the width box,
        // right of its label, and above the group so that clicks reach it.
        QCOMPARE(Controls(dialog).HochEdit->parentWidget(), &dialog);
        const QRect width(
            Controls(dialog).GroupBox1->mapTo(&dialog, Controls(dialog).BreitEdit->pos()),
            Controls(dialog).BreitEdit->size());
        const QRect height = Controls(dialog).HochEdit->geometry();
        QVERIFY(Controls(dialog).GroupBox1->geometry().contains(height));
        QCOMPARE(height.left(), width.left());
        QVERIFY(height.top() > width.bottom() && height.top() - width.bottom() <= 3);
        QVERIFY(Controls(dialog)
                    .GroupBox1->mapTo(&dialog, Controls(dialog).RxLabel3->geometry().topRight())
                    .x()
                < height.left());
        QVERIFY(Controls(dialog)
                    .GroupBox1->mapTo(&dialog, Controls(dialog).RxLabel2->geometry().topRight())
                    .x()
                < width.left());
        QWidget *hit = dialog.childAt(height.center());
        QVERIFY(hit == Controls(dialog).HochEdit || Controls(dialog).HochEdit->isAncestorOf(hit));

        QTest::mouseClick(Controls(dialog).UserdefCheck, Qt::LeftButton);
        QVERIFY(!Controls(dialog).UseFullCheck->isChecked());
        QVERIFY(Controls(dialog).BreitEdit->isEnabled() && Controls(dialog).HochEdit->isEnabled());
        QTest::mouseClick(Controls(dialog).UseFullCheck, Qt::LeftButton);
        QVERIFY(!Controls(dialog).BreitEdit->isEnabled()
                && !Controls(dialog).HochEdit->isEnabled());
        dialog.reject();
    }

    void previewFollowsEveryChangeAtOnce()
    {
        QPrinter printer;
        ToPdf(printer, folder_.filePath(QStringLiteral("never.pdf")));
        TPrintForm dialog(printer, picture_, {&setup_, Store()});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(ShownPreview(dialog), ExpectedPreview(dialog, picture_));
        // Each step moves the picture or the paper; the preview shows it before any
        // event is processed.
        const std::vector<std::pair<const char *, std::function<void()>>> steps = {
            {"user-defined",
             [&] { QTest::mouseClick(Controls(dialog).UserdefCheck, Qt::LeftButton); }},
            {"width 20", [&] { Controls(dialog).BreitEdit->setValue(20); }},
            {"aspect off", [&] { QTest::mouseClick(Controls(dialog).SverhCheck, Qt::LeftButton); }},
            {"height 90", [&] { Controls(dialog).HochEdit->setValue(90); }},
            {"not centred",
             [&] { QTest::mouseClick(Controls(dialog).ZentrCheck, Qt::LeftButton); }},
            {"whole page",
             [&] { QTest::mouseClick(Controls(dialog).UseFullCheck, Qt::LeftButton); }},
            {"landscape from the setup",
             [&] {
                 setup_.Answer = [](QPrinter &p) {
                     p.setPageOrientation(QPageLayout::Landscape);
                     return true;
                 };
                 QTest::mouseClick(Controls(dialog).PrintSetupBtn, Qt::LeftButton);
             }},
        };
        for (const auto &[name, step] : steps) {
            const QImage before = ShownPreview(dialog);
            step();
            QVERIFY2(ShownPreview(dialog) != before, name);
            QVERIFY2(ShownPreview(dialog) == ExpectedPreview(dialog, picture_), name);
        }
        QCOMPARE(setup_.LastPrinter, &printer);
        QCOMPARE(setup_.LastParent.data(), &dialog);
        QVERIFY(dialog.Page().Width > dialog.Page().Height);
        setup_.Answer = nullptr; // a cancelled setup changes nothing
        const QImage before = ShownPreview(dialog);
        QTest::mouseClick(Controls(dialog).PrintSetupBtn, Qt::LeftButton);
        QCOMPARE(ShownPreview(dialog), before);
        QVERIFY(dialog.isVisible());
        dialog.reject();
        QVERIFY(!QFile::exists(folder_.filePath(QStringLiteral("never.pdf"))));
    }

    void settingsComeBackAfterARestart_data()
    {
        QTest::addColumn<int>("end"); // 0: OK, 1: Cancel, 2: destroyed while shown
        QTest::newRow("closed with OK") << 0;
        QTest::newRow("closed with Cancel") << 1;
        QTest::newRow("destroyed without closing") << 2;
    }
    void settingsComeBackAfterARestart()
    {
        QFETCH(int, end);
        QPrinter printer;
        {
            TPrintForm dialog(printer, picture_, {nullptr, Store()});
            dialog.show();
            QTest::mouseClick(Controls(dialog).UserdefCheck, Qt::LeftButton);
            Controls(dialog).BreitEdit->setValue(71);
            Controls(dialog).HochEdit->setText(QStringLiteral("130")); // typed, not yet put back
            QTest::mouseClick(Controls(dialog).SverhCheck, Qt::LeftButton);
            QTest::mouseClick(Controls(dialog).ZentrCheck, Qt::LeftButton);
            if (end == 0)
                dialog.accept();
            else if (end == 1)
                dialog.reject();
        }
        // Stored per user, organisation "Software", the program's name, the class's group.
        QSettings stored(SettingsFile(), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("TPrintForm/WindowState")).toString(),
                 QStringLiteral("Normal"));
        QCOMPARE(stored.value(QStringLiteral("TPrintForm/HochEdit.Value")).toInt(), 100);

        // A new program: a new store on the same folder, a new dialog.
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        QCOMPARE(dialog.Choice(), view::PrintChoice{}); // restored when shown, not before
        dialog.show();
        QCOMPARE(dialog.Choice(),
                 (view::PrintChoice{view::PrintSize::UserDefined, 71, 100, false, false}));
        QVERIFY(Controls(dialog).BreitEdit->isEnabled()
                && !Controls(dialog).UseFullCheck->isChecked());
        dialog.reject();
    }

    void damagedSettingsAreIgnoredOrHeldInRange()
    {
        {
            QSettings settings(SettingsFile(), QSettings::IniFormat);
            settings.beginGroup(QStringLiteral("TPrintForm"));
            settings.setValue(QStringLiteral("WindowState"), QStringLiteral("Maximized"));
            settings.setValue(QStringLiteral("BreitEdit.Value"), QStringLiteral("wide"));
            settings.setValue(QStringLiteral("HochEdit.Value"), 5000);
            settings.setValue(QStringLiteral("UserdefCheck.Checked"), QStringLiteral("perhaps"));
            settings.setValue(QStringLiteral("SverhCheck.Checked"), QStringLiteral("false"));
        }
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        dialog.show();
        QCOMPARE(dialog.Choice(),
                 (view::PrintChoice{view::PrintSize::UsePageFully, 50, 100, false, true}));
        QVERIFY(dialog.windowState() & Qt::WindowMaximized);
        dialog.reject();
    }

    void printsOnePageWithThePictureWherePlaced_data()
    {
        QTest::addColumn<int>("mode"); // 0: the whole page; 1..3: user-defined
        QTest::addColumn<bool>("landscape");
        QTest::newRow("use page fully") << 0 << false;
        QTest::newRow("use page fully, landscape") << 0 << true;
        QTest::newRow("user-defined 40 %, top left") << 1 << false;
        QTest::newRow("user-defined 30 x 70 %, stretched") << 2 << false;
        QTest::newRow("user-defined 60 %, landscape") << 3 << true;
    }
    void printsOnePageWithThePictureWherePlaced()
    {
        QFETCH(int, mode);
        QFETCH(bool, landscape);
        const QString pdf =
            folder_.filePath(QStringLiteral("print%1%2.pdf").arg(mode).arg(landscape));
        const auto form = Window();
        const Bytes before = Pixels(form->WorkRaster);
        // No printer: the user chooses a PDF file in the setup.
        setup_.Answer = [&](QPrinter &printer) {
            ToPdf(printer, pdf, landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
            return true;
        };
        view::PrintChoice choice;
        Print(*form, [&](TPrintForm &dialog) {
            QTest::mouseClick(Controls(dialog).PrintSetupBtn, Qt::LeftButton);
            if (mode > 0)
                QTest::mouseClick(Controls(dialog).UserdefCheck, Qt::LeftButton);
            Controls(dialog).BreitEdit->setValue(mode == 1 ? 40 : mode == 2 ? 30 : 60);
            Controls(dialog).HochEdit->setValue(70);
            if (mode == 1)
                QTest::mouseClick(Controls(dialog).ZentrCheck, Qt::LeftButton);
            if (mode == 2)
                QTest::mouseClick(Controls(dialog).SverhCheck, Qt::LeftButton);
            choice = dialog.Choice();
            QTest::mouseClick(Controls(dialog).OkBitBtn1, Qt::LeftButton);
        });
        QVERIFY(messages_.Boxes.isEmpty());
        QCOMPARE(Pixels(form->WorkRaster), before);

        const auto [pages, image] = Render(pdf, 40);
        QCOMPARE(pages, 1);
        QVERIFY2(!image.isNull(), "pdftoppm (poppler-utils) must be installed");
        const view::PrintPage page = view::PageOf(form->Printer());
        QCOMPARE(image.width() > image.height(), landscape);
        const Rect place = view::PrintPlacement(page, 640, 480, choice);
        const double sx = double(image.width()) / page.Width;
        const double sy = double(image.height()) / page.Height;
        // Each quarter in its colour, at its middle.
        for (int q = 0; q < 4; ++q) {
            const QColor seen(
                image.pixel(int((place.Left + (q % 2 * 2 + 1) * place.Width() / 4) * sx),
                            int((place.Top + (q / 2 * 2 + 1) * place.Height() / 4) * sy)));
            const QColor want(int(kQuarters[q] & 0xff), int(kQuarters[q] >> 8 & 0xff),
                              int(kQuarters[q] >> 16));
            QVERIFY2(std::abs(seen.red() - want.red()) + std::abs(seen.green() - want.green())
                             + std::abs(seen.blue() - want.blue())
                         < 96,
                     qPrintable(seen.name()));
        }
        // The edges where computed, to the rendering's pixel: picture 2 pixels inside
        // each edge's middle, white paper 2 pixels outside it.
        const double midX = (place.Left + place.Width() / 2.0) * sx;
        const double midY = (place.Top + place.Height() / 2.0) * sy;
        const double edges[4][4] = {{place.Left * sx, midY, -1, 0},
                                    {place.Right * sx, midY, 1, 0},
                                    {midX, place.Top * sy, 0, -1},
                                    {midX, place.Bottom * sy, 0, 1}};
        for (const auto &[x, y, dx, dy] : edges) {
            QVERIFY(qGray(image.pixel(int(x - 2 * dx), int(y - 2 * dy))) < 235);
            QVERIFY(qGray(image.pixel(int(x + 2 * dx), int(y + 2 * dy))) > 235);
        }
    }

    void cancelPrintsNothing()
    {
        const QString pdf = folder_.filePath(QStringLiteral("cancelled.pdf"));
        const auto form = Window();
        ToPdf(form->Printer(), pdf);
        Print(*form, [](TPrintForm &dialog) {
            QTest::mouseClick(Controls(dialog).CancelBitBtn2, Qt::LeftButton);
        });
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(messages_.Boxes.isEmpty());
    }

    void failureShowsAMessageAndALaterSetupStillPrints_data()
    {
        QTest::addColumn<QString>("badFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no file chosen") << QString() << "Setup printer...";
        QTest::newRow("folder missing") << "/no-such-folder-for-tintwell/picture.pdf"
                                        << "could not be opened";
    }
    void failureShowsAMessageAndALaterSetupStillPrints()
    {
        QFETCH(QString, badFile);
        QFETCH(QString, reason);
        const QString pdf = folder_.filePath(QStringLiteral("after-failure.pdf"));
        QFile::remove(pdf);
        const auto form = Window();
        const Bytes before = Pixels(form->WorkRaster);
        ToPdf(form->Printer(), badFile);
        Print(*form, [](TPrintForm &dialog) {
            QTest::mouseClick(Controls(dialog).OkBitBtn1, Qt::LeftButton);
        });
        QCOMPARE(messages_.Boxes.size(), 1);
        QVERIFY2(messages_.Boxes.first().Text.contains(reason),
                 qPrintable(messages_.Boxes.first().Text));
        QCOMPARE(messages_.Boxes.first().Icon, MessageIcon::Error);
        QCOMPARE(Pixels(form->WorkRaster), before);

        // The same printer, set up again, prints (it is not left stuck mid-job).
        setup_.Answer = [&](QPrinter &printer) {
            printer.setOutputFileName(pdf);
            return printer.outputFileName() == pdf;
        };
        Print(*form, [](TPrintForm &dialog) {
            QTest::mouseClick(Controls(dialog).PrintSetupBtn, Qt::LeftButton);
            QTest::mouseClick(Controls(dialog).OkBitBtn1, Qt::LeftButton);
        });
        QCOMPARE(messages_.Boxes.size(), 1);
        QCOMPARE(Render(pdf, 20).first, 1);
        QCOMPARE(&form->Printer(), setup_.LastPrinter); // one printer for the session
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
