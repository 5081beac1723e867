// SPDX-License-Identifier: GPL-3.0-or-later
// The print dialog and the Print command: controls, defaults and ranges, the preview
// (redrawn at once on every change, exactly as the drawing routine draws it), the
// printer setup, the remembered settings across a restart, and printing a picture to
// a PDF file that is rendered back to find the picture where it was placed.
#include "app/FakeServices.h"
#include "app/MainForm.h"
#include "app/PrintForm.h"
#include "app/WhileModal.h"
#include "platform/gdi/TestDC.h"
#include "platform/rastix/Rastix.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/SurfacePaintBox.h"
#include "view/PrintPreview.h"
#include "view/PrintRaster.h"

#include <QCheckBox>
#include <QFile>
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

constexpr uint32_t kRed = 0x0000ff; // screen colours: red in the low byte
constexpr uint32_t kGreen = 0x00ff00;
constexpr uint32_t kBlue = 0xff0000;
constexpr uint32_t kYellow = 0x00ffff;

// A width x height picture in four quarters: red, green above blue, yellow.
RasterImage Quarters(int width, int height)
{
    RasterImage raster = newdib(width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool lower = y >= height / 2;
            setpixel(raster, x, y, lower ? (right ? kYellow : kBlue) : (right ? kGreen : kRed));
        }
    return raster;
}

QColor ScreenColour(uint32_t c)
{
    return QColor(int(c & 0xff), int(c >> 8 & 0xff), int(c >> 16 & 0xff));
}

bool Near(QColor a, QColor b, int tolerance = 48)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

bool White(QRgb c)
{
    return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235;
}

// A printer that writes a PDF file, on A4 paper.
void ToPdf(QPrinter &printer, const QString &file,
           QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation);
}

struct RenderedPdf {
    int Pages = 0;
    QImage Image; // the first page
};

// The PDF's page count (pdfinfo) and its first page rendered at dpi (pdftoppm).
RenderedPdf Render(const QString &pdf, int dpi)
{
    RenderedPdf result;
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (!info.waitForFinished(20000))
        return result;
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
            .match(QString::fromUtf8(info.readAllStandardOutput()));
    if (pages.hasMatch())
        result.Pages = pages.captured(1).toInt();
    const QString base = pdf + QStringLiteral(".render");
    if (QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                           QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, base})
        == 0)
        result.Image = QImage(base + QStringLiteral(".ppm"));
    return result;
}

// The preview as the drawing routine draws it for the dialog's page and choice now.
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
    return dialog.PrintPaintBox->Surface().convertToFormat(QImage::Format_RGB32);
}

// Replaces the window's working picture.
void SetWorkRaster(TMainForm &form, RasterImage picture)
{
    deldib(form.WorkRaster);
    form.WorkRaster = picture;
}

std::vector<uint8_t> Bytes(const RasterImage &raster)
{
    return std::vector<uint8_t>(raster.Pixels, raster.Pixels + RasterImageSize(raster));
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    RasterImage picture_{};

    SettingsStore Store() const { return SettingsStore(folder_.filePath(QStringLiteral("cfg"))); }

private slots:
    void initTestCase()
    {
        QVERIFY(folder_.isValid());
        picture_ = Quarters(64, 48);
    }
    void cleanupTestCase() { deldib(picture_); }
    void init()
    {
        // Every test starts without remembered settings.
        QDir(folder_.filePath(QStringLiteral("cfg"))).removeRecursively();
    }

    void controlsStartAsTheDialogIsLaidOut()
    {
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Print picture..."));
        QCOMPARE(dialog.minimumSize(), QSize(427, 328));
        QCOMPARE(dialog.maximumSize(), QSize(427, 328));
        QVERIFY(!(dialog.windowFlags()
                  & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(dialog.RxLabel1->text(), QStringLiteral("Preview:"));
        QCOMPARE(dialog.GroupBox1->title(), QStringLiteral("Print size"));
        QCOMPARE(dialog.GroupBox2->title(), QStringLiteral("Print options"));
        QCOMPARE(dialog.UseFullCheck->text(), QStringLiteral("Use page fully"));
        QCOMPARE(dialog.UserdefCheck->text(), QStringLiteral("User-defined"));
        QCOMPARE(dialog.RxLabel2->text(), QStringLiteral("Width in %:"));
        QCOMPARE(dialog.RxLabel3->text(), QStringLiteral("Height in %:"));
        QCOMPARE(dialog.SverhCheck->text(), QStringLiteral("Maintain aspect ratio"));
        QCOMPARE(dialog.ZentrCheck->text(), QStringLiteral("Centered output"));
        QCOMPARE(dialog.OkBitBtn1->text(), QStringLiteral("&OK"));
        QCOMPARE(dialog.PrintSetupBtn->text(), QStringLiteral("Setup printer..."));
        QCOMPARE(dialog.CancelBitBtn2->text(), QStringLiteral("&Cancel"));
        QVERIFY(dialog.OkBitBtn1->isDefault());
        QVERIFY(!dialog.PrintSetupBtn->icon().isNull());

        // Defaults: the whole page, both options, 50 %.
        QVERIFY(dialog.UseFullCheck->isChecked());
        QVERIFY(!dialog.UserdefCheck->isChecked());
        QVERIFY(dialog.SverhCheck->isChecked());
        QVERIFY(dialog.ZentrCheck->isChecked());
        for (SpinEdit *edit : {dialog.BreitEdit, dialog.HochEdit}) {
            QCOMPARE(edit->value(), 50);
            QCOMPARE(edit->minimum(), 1);
            QCOMPARE(edit->maximum(), 100);
            QVERIFY(!edit->isEnabled());
        }
        QCOMPARE(dialog.Choice(), view::PrintChoice{});
    }

    void heightBoxBelongsToTheDialogButSitsInTheGroup()
    {
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        QCOMPARE(dialog.HochEdit->parentWidget(), &dialog);
        QCOMPARE(dialog.BreitEdit->parentWidget(), dialog.GroupBox1);
        const QRect width(dialog.GroupBox1->mapTo(&dialog, dialog.BreitEdit->pos()),
                          dialog.BreitEdit->size());
        const QRect height = dialog.HochEdit->geometry();
        QVERIFY(dialog.GroupBox1->geometry().contains(height));
        QCOMPARE(height.left(), width.left()); // directly under the width box
        QCOMPARE(height.size(), width.size());
        QVERIFY(height.top() > width.bottom() && height.top() - width.bottom() <= 3);
        // Right of its label, and above the group so that clicks reach it.
        const QRect label(dialog.GroupBox1->mapTo(&dialog, dialog.RxLabel3->pos()),
                          dialog.RxLabel3->size());
        QVERIFY(label.right() < height.left());
        QVERIFY(label.top() < height.bottom() && label.bottom() > height.top());
        QVERIFY(dialog.GroupBox1->mapTo(&dialog, dialog.RxLabel2->geometry().topRight()).x()
                < width.left());
        QWidget *hit = dialog.childAt(height.center());
        QVERIFY(hit == dialog.HochEdit || dialog.HochEdit->isAncestorOf(hit));
    }

    void percentagesStayInOneToHundred_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("afterFocusLoss");
        QTest::newRow("0") << "0" << 1;
        QTest::newRow("101") << "101" << 100;
        QTest::newRow("not a number") << "abc" << 1;
        QTest::newRow("in range") << "73" << 73;
    }
    void percentagesStayInOneToHundred()
    {
        QFETCH(QString, typed);
        QFETCH(int, afterFocusLoss);
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.UserdefCheck, Qt::LeftButton);
        for (SpinEdit *edit : {dialog.BreitEdit, dialog.HochEdit}) {
            edit->setFocus();
            edit->setText(typed);
            dialog.SverhCheck->setFocus(); // the focus leaves the box
            QCOMPARE(edit->value(), afterFocusLoss);
        }
        dialog.BreitEdit->setValue(100);
        dialog.BreitEdit->stepBy(1);
        QCOMPARE(dialog.BreitEdit->value(), 100);
        dialog.HochEdit->setValue(1);
        dialog.HochEdit->stepBy(-1);
        QCOMPARE(dialog.HochEdit->value(), 1);
        dialog.reject();
    }

    void percentagesCanBeChangedOnlyWhenUserDefined()
    {
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.UserdefCheck, Qt::LeftButton);
        QVERIFY(dialog.UserdefCheck->isChecked());
        QVERIFY(!dialog.UseFullCheck->isChecked()); // one group
        QVERIFY(dialog.BreitEdit->isEnabled() && dialog.HochEdit->isEnabled());
        QCOMPARE(dialog.Choice().Size, view::PrintSize::UserDefined);
        QTest::mouseClick(dialog.UseFullCheck, Qt::LeftButton);
        QVERIFY(!dialog.UserdefCheck->isChecked());
        QVERIFY(!dialog.BreitEdit->isEnabled() && !dialog.HochEdit->isEnabled());
        QCOMPARE(dialog.Choice().Size, view::PrintSize::UsePageFully);
        dialog.reject();
    }

    void previewFollowsEveryChangeAtOnce()
    {
        QPrinter printer;
        ToPdf(printer, folder_.filePath(QStringLiteral("never.pdf")));
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.PrintPaintBox->SurfaceRect(), dialog.PrintPaintBox->rect());
        QCOMPARE(ShownPreview(dialog), ExpectedPreview(dialog, picture_));

        // Each step changes where the picture lands; the preview must show it before
        // any event is processed.
        const std::vector<std::pair<const char *, std::function<void()>>> steps = {
            {"user-defined", [&] { QTest::mouseClick(dialog.UserdefCheck, Qt::LeftButton); }},
            {"width 20", [&] { dialog.BreitEdit->setValue(20); }},
            {"aspect off", [&] { QTest::mouseClick(dialog.SverhCheck, Qt::LeftButton); }},
            {"height 90", [&] { dialog.HochEdit->setValue(90); }},
            {"not centred", [&] { QTest::mouseClick(dialog.ZentrCheck, Qt::LeftButton); }},
            {"whole page", [&] { QTest::mouseClick(dialog.UseFullCheck, Qt::LeftButton); }},
            {"aspect on", [&] { QTest::mouseClick(dialog.SverhCheck, Qt::LeftButton); }},
        };
        QImage before = ShownPreview(dialog);
        for (const auto &[name, step] : steps) {
            step();
            const QImage now = ShownPreview(dialog);
            QVERIFY2(now != before, name);
            QVERIFY2(now == ExpectedPreview(dialog, picture_), name);
            before = now;
        }
        dialog.reject();
    }

    void setupChangesThePrinterAndThePreviewFollows()
    {
        QPrinter printer;
        ToPdf(printer, folder_.filePath(QStringLiteral("never.pdf")));
        FakePrinterSetupService setup;
        TPrintForm dialog(printer, picture_, {&setup, Store()});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QImage portrait = ShownPreview(dialog);

        QTest::mouseClick(dialog.PrintSetupBtn, Qt::LeftButton); // the user cancels
        QCOMPARE(setup.Count, 1);
        QCOMPARE(setup.LastPrinter, &printer);
        QCOMPARE(setup.LastParent.data(), &dialog);
        QCOMPARE(ShownPreview(dialog), portrait);

        setup.Answer = [](QPrinter &p) {
            p.setPageOrientation(QPageLayout::Landscape);
            return true;
        };
        QTest::mouseClick(dialog.PrintSetupBtn, Qt::LeftButton);
        QCOMPARE(setup.Count, 2);
        const view::PrintPage page = dialog.Page();
        QVERIFY(page.Width > page.Height);
        QCOMPARE(ShownPreview(dialog), ExpectedPreview(dialog, picture_));
        QVERIFY(ShownPreview(dialog) != portrait);
        QVERIFY(dialog.isVisible()); // setting up prints nothing and closes nothing
        dialog.reject();
        QVERIFY(!QFile::exists(folder_.filePath(QStringLiteral("never.pdf"))));
    }

    void okAcceptsAndCancelOrEscapeRejects_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << 0 << int(QDialog::Accepted);
        QTest::newRow("Enter") << 1 << int(QDialog::Accepted);
        QTest::newRow("Cancel") << 2 << int(QDialog::Rejected);
        QTest::newRow("Escape") << 3 << int(QDialog::Rejected);
    }
    void okAcceptsAndCancelOrEscapeRejects()
    {
        QFETCH(int, how);
        QFETCH(int, result);
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        int got = -1;
        WhileModal([&] { got = dialog.exec(); },
                   [&](QWidget *shown) {
                       QCOMPARE(shown, &dialog);
                       switch (how) {
                       case 0: QTest::mouseClick(dialog.OkBitBtn1, Qt::LeftButton); break;
                       case 1: QTest::keyClick(&dialog, Qt::Key_Return); break;
                       case 2: QTest::mouseClick(dialog.CancelBitBtn2, Qt::LeftButton); break;
                       default: QTest::keyClick(&dialog, Qt::Key_Escape); break;
                       }
                   });
        QCOMPARE(got, result);
    }

    void settingsComeBackAfterARestart_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("closed with OK") << true;
        QTest::newRow("closed with Cancel") << false;
    }
    void settingsComeBackAfterARestart()
    {
        QFETCH(bool, accept);
        {
            QPrinter printer;
            TPrintForm dialog(printer, picture_, {nullptr, Store()});
            dialog.show();
            QTest::mouseClick(dialog.UserdefCheck, Qt::LeftButton);
            dialog.BreitEdit->setValue(71);
            dialog.HochEdit->setValue(13);
            QTest::mouseClick(dialog.SverhCheck, Qt::LeftButton);
            QTest::mouseClick(dialog.ZentrCheck, Qt::LeftButton);
            if (accept)
                dialog.accept();
            else
                dialog.reject();
        }
        // A new program: a new store on the same folder, a new dialog.
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        QCOMPARE(dialog.BreitEdit->value(), 50); // restored when shown, not before
        dialog.show();
        QCOMPARE(dialog.BreitEdit->value(), 71);
        QCOMPARE(dialog.HochEdit->value(), 13);
        QVERIFY(dialog.UserdefCheck->isChecked());
        QVERIFY(!dialog.UseFullCheck->isChecked());
        QVERIFY(!dialog.SverhCheck->isChecked());
        QVERIFY(!dialog.ZentrCheck->isChecked());
        QVERIFY(dialog.BreitEdit->isEnabled() && dialog.HochEdit->isEnabled());
        QCOMPARE(dialog.Choice(),
                 (view::PrintChoice{view::PrintSize::UserDefined, 71, 13, false, false}));
        dialog.reject();
    }

    void settingsAreRestoredOnEveryShowing()
    {
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        dialog.show();
        dialog.BreitEdit->setValue(30);
        dialog.reject(); // saves 30
        {
            // Another dialog changes the settings meanwhile.
            TPrintForm other(printer, picture_, {nullptr, Store()});
            other.show();
            other.BreitEdit->setValue(88);
            other.accept();
        }
        dialog.BreitEdit->setValue(5);
        dialog.show();
        QCOMPARE(dialog.BreitEdit->value(), 88);
        dialog.reject();
    }

    void destroyedWithoutClosingStillSaves()
    {
        {
            QPrinter printer;
            TPrintForm dialog(printer, picture_, {nullptr, Store()});
            dialog.show();
            dialog.HochEdit->setValue(64);
        }
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        dialog.show();
        QCOMPARE(dialog.HochEdit->value(), 64);
        dialog.reject();
    }

    void neverShownSavesNothing()
    {
        {
            QPrinter printer;
            TPrintForm dialog(printer, picture_, {nullptr, Store()});
            dialog.HochEdit->setValue(64);
        }
        QVERIFY(!QFile::exists(folder_.filePath(QStringLiteral("cfg"))));
    }

    void settingsLiveInTheProgramsGroup()
    {
        {
            QPrinter printer;
            TPrintForm dialog(printer, picture_, {nullptr, Store()});
            dialog.show();
            dialog.BreitEdit->setText(QStringLiteral("150")); // typed, not yet put back
            dialog.accept();
        }
        // Organisation "Software", application the program file's name, group the
        // dialog's class.
        const QString file = folder_.filePath(
            QStringLiteral("cfg/Software/%1.conf").arg(SettingsStore::ProgramName()));
        QCOMPARE(SettingsStore::ProgramName(), QStringLiteral("tst_print"));
        QVERIFY(QFile::exists(file));
        QSettings settings(file, QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("TPrintForm"));
        QCOMPARE(settings.value(QStringLiteral("WindowState")).toString(),
                 QStringLiteral("Normal"));
        QCOMPARE(settings.value(QStringLiteral("BreitEdit.Value")).toInt(), 100);
        QCOMPARE(settings.value(QStringLiteral("HochEdit.Value")).toInt(), 50);
        QCOMPARE(settings.value(QStringLiteral("UserdefCheck.Checked")).toBool(), false);
        QCOMPARE(settings.value(QStringLiteral("SverhCheck.Checked")).toBool(), true);
        QCOMPARE(settings.value(QStringLiteral("ZentrCheck.Checked")).toBool(), true);
    }

    void damagedSettingsAreIgnoredOrHeldInRange()
    {
        const QString file = folder_.filePath(
            QStringLiteral("cfg/Software/%1.conf").arg(SettingsStore::ProgramName()));
        {
            QSettings settings(file, QSettings::IniFormat);
            settings.beginGroup(QStringLiteral("TPrintForm"));
            settings.setValue(QStringLiteral("WindowState"), QStringLiteral("Sideways"));
            settings.setValue(QStringLiteral("BreitEdit.Value"), QStringLiteral("wide"));
            settings.setValue(QStringLiteral("HochEdit.Value"), 5000);
            settings.setValue(QStringLiteral("UserdefCheck.Checked"), QStringLiteral("perhaps"));
            settings.setValue(QStringLiteral("SverhCheck.Checked"), QStringLiteral("false"));
        }
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        dialog.show();
        QCOMPARE(dialog.BreitEdit->value(), 50);
        QCOMPARE(dialog.HochEdit->value(), 100);
        QVERIFY(dialog.UseFullCheck->isChecked());
        QVERIFY(!dialog.SverhCheck->isChecked());
        QVERIFY(dialog.ZentrCheck->isChecked());
        QVERIFY(!dialog.isMaximized());
        dialog.reject();
    }

    void maximisedStateComesBack()
    {
        const QString file = folder_.filePath(
            QStringLiteral("cfg/Software/%1.conf").arg(SettingsStore::ProgramName()));
        {
            QSettings settings(file, QSettings::IniFormat);
            settings.setValue(QStringLiteral("TPrintForm/WindowState"),
                              QStringLiteral("Maximized"));
        }
        QPrinter printer;
        TPrintForm dialog(printer, picture_, {nullptr, Store()});
        dialog.show();
        QVERIFY(dialog.windowState() & Qt::WindowMaximized);
        dialog.reject();
        QSettings settings(file, QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("TPrintForm/WindowState")).toString(),
                 QStringLiteral("Maximized"));
    }

    void printsOnePageWithThePictureWherePlaced_data()
    {
        QTest::addColumn<int>("mode"); // 0: the whole page; 1..3: user-defined
        QTest::addColumn<int>("orientation");
        QTest::newRow("use page fully") << 0 << int(QPageLayout::Portrait);
        QTest::newRow("use page fully, landscape") << 0 << int(QPageLayout::Landscape);
        QTest::newRow("user-defined 40 %, top left") << 1 << int(QPageLayout::Portrait);
        QTest::newRow("user-defined 30 x 70 %, stretched") << 2 << int(QPageLayout::Portrait);
        QTest::newRow("user-defined 60 %, landscape") << 3 << int(QPageLayout::Landscape);
    }
    void printsOnePageWithThePictureWherePlaced()
    {
        QFETCH(int, mode);
        QFETCH(int, orientation);
        const QString pdf =
            folder_.filePath(QStringLiteral("print%1-%2.pdf").arg(mode).arg(orientation));
        FakeMessageService messages;
        FakePrinterSetupService setup;
        MainFormSeams seams;
        seams.Messages = &messages;
        seams.PrinterSetup = &setup;
        seams.Settings = Store();
        TMainForm form(seams);
        SetWorkRaster(form, Quarters(640, 480));
        const std::vector<uint8_t> before = Bytes(form.WorkRaster);
        // No printer: the user chooses a PDF file in the setup.
        setup.Answer = [&](QPrinter &printer) {
            ToPdf(printer, pdf, QPageLayout::Orientation(orientation));
            return true;
        };

        view::PrintChoice choice;
        WhileModal([&] { form.Print1Click(); },
                   [&](QWidget *shown) {
                       auto *dialog = qobject_cast<TPrintForm *>(shown);
                       QVERIFY(dialog);
                       QTest::mouseClick(dialog->PrintSetupBtn, Qt::LeftButton);
                       if (mode > 0)
                           QTest::mouseClick(dialog->UserdefCheck, Qt::LeftButton);
                       if (mode == 1) {
                           dialog->BreitEdit->setValue(40);
                           QTest::mouseClick(dialog->ZentrCheck, Qt::LeftButton);
                       } else if (mode == 2) {
                           dialog->BreitEdit->setValue(30);
                           dialog->HochEdit->setValue(70);
                           QTest::mouseClick(dialog->SverhCheck, Qt::LeftButton);
                       } else if (mode == 3) {
                           dialog->BreitEdit->setValue(60);
                       }
                       choice = dialog->Choice();
                       QTest::mouseClick(dialog->OkBitBtn1, Qt::LeftButton);
                   });
        QVERIFY2(messages.Boxes.isEmpty(),
                 qPrintable(messages.Boxes.isEmpty() ? QString() : messages.Boxes.first().Text));
        QCOMPARE(setup.Count, 1);
        QCOMPARE(Bytes(form.WorkRaster), before);

        const RenderedPdf rendered = Render(pdf, 40);
        QCOMPARE(rendered.Pages, 1);
        QVERIFY2(!rendered.Image.isNull(), "pdftoppm (poppler-utils) must be installed");
        const view::PrintPage page = view::PageOf(form.Printer());
        const QImage &image = rendered.Image;
        QCOMPARE(image.width() > image.height(), page.Width > page.Height);
        const Rect place = view::PrintPlacement(page, 640, 480, choice);
        const double sx = double(image.width()) / page.Width;
        const double sy = double(image.height()) / page.Height;
        auto at = [&](double fx, double fy) {
            return image.pixel(int((place.Left + fx * place.Width()) * sx),
                               int((place.Top + fy * place.Height()) * sy));
        };
        // Each quarter in its colour.
        QVERIFY(Near(at(0.25, 0.25), ScreenColour(kRed)));
        QVERIFY(Near(at(0.75, 0.25), ScreenColour(kGreen)));
        QVERIFY(Near(at(0.25, 0.75), ScreenColour(kBlue)));
        QVERIFY(Near(at(0.75, 0.75), ScreenColour(kYellow)));
        // The picture's edges where computed, to the rendering's pixel, and white paper
        // beyond them.
        auto firstInk = [&](int y) {
            for (int x = 0; x < image.width(); ++x)
                if (!White(image.pixel(x, y)))
                    return x;
            return -1;
        };
        auto lastInk = [&](int y) {
            for (int x = image.width() - 1; x >= 0; --x)
                if (!White(image.pixel(x, y)))
                    return x + 1;
            return -1;
        };
        auto topInk = [&](int x) {
            for (int y = 0; y < image.height(); ++y)
                if (!White(image.pixel(x, y)))
                    return y;
            return -1;
        };
        auto bottomInk = [&](int x) {
            for (int y = image.height() - 1; y >= 0; --y)
                if (!White(image.pixel(x, y)))
                    return y + 1;
            return -1;
        };
        const int midY = int((place.Top + place.Height() / 2) * sy);
        const int midX = int((place.Left + place.Width() / 2) * sx);
        QVERIFY(std::abs(firstInk(midY) - place.Left * sx) <= 1.5);
        QVERIFY(std::abs(lastInk(midY) - place.Right * sx) <= 1.5);
        QVERIFY(std::abs(topInk(midX) - place.Top * sy) <= 1.5);
        QVERIFY(std::abs(bottomInk(midX) - place.Bottom * sy) <= 1.5);
    }

    void cancelPrintsNothing()
    {
        const QString pdf = folder_.filePath(QStringLiteral("cancelled.pdf"));
        FakeMessageService messages;
        FakePrinterSetupService setup;
        MainFormSeams seams;
        seams.Messages = &messages;
        seams.PrinterSetup = &setup;
        seams.Settings = Store();
        TMainForm form(seams);
        ToPdf(form.Printer(), pdf);
        WhileModal([&] { form.Print1Click(); },
                   [&](QWidget *shown) {
                       QTest::mouseClick(qobject_cast<TPrintForm *>(shown)->CancelBitBtn2,
                                         Qt::LeftButton);
                   });
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(messages.Boxes.isEmpty());
    }

    void failedPrintingShowsAMessageAndALaterSetupStillWorks_data()
    {
        QTest::addColumn<QString>("badFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no file chosen") << QString() << "Setup printer...";
        QTest::newRow("folder missing") << "/no-such-folder-for-tintwell/picture.pdf"
                                        << "could not be opened";
    }
    void failedPrintingShowsAMessageAndALaterSetupStillWorks()
    {
        QFETCH(QString, badFile);
        QFETCH(QString, reason);
        const QString pdf = folder_.filePath(QStringLiteral("after-failure.pdf"));
        QFile::remove(pdf);
        FakeMessageService messages;
        FakePrinterSetupService setup;
        MainFormSeams seams;
        seams.Messages = &messages;
        seams.PrinterSetup = &setup;
        seams.Settings = Store();
        TMainForm form(seams);
        SetWorkRaster(form, Quarters(64, 48));
        const std::vector<uint8_t> before = Bytes(form.WorkRaster);
        ToPdf(form.Printer(), badFile);
        auto pressOk = [](QWidget *shown) {
            QTest::mouseClick(qobject_cast<TPrintForm *>(shown)->OkBitBtn1, Qt::LeftButton);
        };
        WhileModal([&] { form.Print1Click(); }, pressOk);
        QCOMPARE(messages.Boxes.size(), 1);
        QVERIFY2(messages.Boxes.first().Text.contains(reason),
                 qPrintable(messages.Boxes.first().Text));
        QCOMPARE(messages.Boxes.first().Icon, MessageIcon::Error);
        QCOMPARE(Bytes(form.WorkRaster), before);

        // The same printer, set up again, prints.
        setup.Answer = [&](QPrinter &printer) {
            printer.setOutputFileName(pdf);
            return printer.outputFileName() == pdf;
        };
        WhileModal([&] { form.Print1Click(); },
                   [&](QWidget *shown) {
                       QTest::mouseClick(qobject_cast<TPrintForm *>(shown)->PrintSetupBtn,
                                         Qt::LeftButton);
                       pressOk(shown);
                   });
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(Render(pdf, 20).Pages, 1);
    }

    void printingWithoutAPictureSaysSo()
    {
        FakeMessageService messages;
        MainFormSeams seams;
        seams.Messages = &messages;
        seams.Settings = Store();
        TMainForm form(seams);
        SetWorkRaster(form, RasterImage{});
        const QString pdf = folder_.filePath(QStringLiteral("empty.pdf"));
        ToPdf(form.Printer(), pdf);
        QCOMPARE(form.PrintWorkRaster(view::PrintChoice{}),
                 QStringLiteral("There is no picture in memory to print."));
        QVERIFY(!QFile::exists(pdf));
    }

    void printerIsKeptBetweenPrintCommands()
    {
        TMainForm form({nullptr, nullptr, nullptr, {}, nullptr, Store()});
        QPrinter *first = &form.Printer();
        first->setPageOrientation(QPageLayout::Landscape);
        QCOMPARE(&form.Printer(), first);
        QCOMPARE(form.Printer().pageLayout().orientation(), QPageLayout::Landscape);
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
