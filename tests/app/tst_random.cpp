// SPDX-License-Identifier: GPL-3.0-or-later
// Random actions across the whole main window, from a seed: opening good and hostile
// files, strokes with any button inside and outside the view, typing anything into the
// spin boxes, tools, presets, the palette, the whole-picture operations, undo and redo,
// Save as to good and failing targets, printing to PDF, the about box, re-docking the tool
// bar, resizing, message 1024. After every action the window's invariants must hold.
//
//   TINTWELL_RANDOM_SEEDS   seeds to run: "7", "1-10" or "3,5,9" (default 1-10)
//   TINTWELL_RANDOM_ACTIONS actions per seed (default 2000)
//   TINTWELL_SOAK=quick     the quick run: seeds 1 and 2 only, 300 actions unless
//                           TINTWELL_RANDOM_ACTIONS says otherwise
// A failure names its seed and action and the command that replays it.
#include "app/AboutBox.h"
#include "app/WindowFixture.h"
#include "support/BmpBuilder.h"
#include "support/HostileCorpus.h"
#include "view/ViewSize.h"
#include "widgets/ProgressStatusBar.h"
#include "widgets/SpinEdit.h"
#include "widgets/UserMessageEvent.h"

#include <QAbstractButton>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

namespace {

std::vector<uint32_t> SeedsToRun()
{
    const QString list = qEnvironmentVariableIsSet("TINTWELL_RANDOM_SEEDS")
                             ? qEnvironmentVariable("TINTWELL_RANDOM_SEEDS")
                             : QStringLiteral("1-10");
    std::vector<uint32_t> seeds;
    for (const QString &part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList range = part.split(QLatin1Char('-'));
        const uint32_t from = range.first().toUInt();
        const uint32_t to = range.size() > 1 ? range.last().toUInt() : from;
        for (uint32_t s = from; s <= to; ++s)
            seeds.push_back(s);
    }
    return seeds;
}

int ActionsPerSeed()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("TINTWELL_RANDOM_ACTIONS", &ok);
    return ok && n > 0 ? n : QuickSoak() ? 300 : 2000;
}

void WriteFile(const QString &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

// Picture files to open: the fuzz seeds of every format and depth, small hand-made BMPs
// of 1, 4, 8 and 24 bits (a one-pixel one among them), and one hostile variant in
// fifteen of each seed.
QStringList MakeFiles(const QDir &dir)
{
    QStringList files;
    const std::filesystem::path seeds =
        std::filesystem::path(TINTWELL_SOURCE_DIR) / "fuzz" / "seeds";
    int n = 0;
    for (const auto &folder : std::filesystem::directory_iterator(seeds)) {
        for (const auto &entry : std::filesystem::directory_iterator(folder.path())) {
            const QString name =
                dir.filePath(QStringLiteral("good%1-%2")
                                 .arg(n++)
                                 .arg(QString::fromStdString(entry.path().filename().string())));
            std::filesystem::copy_file(entry.path(), name.toStdString());
            files << name;
        }
        const std::vector<hostile::HostileFile> hostile =
            hostile::MakeHostileCorpus(folder.path().string());
        for (size_t i = 0; i < hostile.size(); i += 15) {
            const QString name = dir.filePath(QStringLiteral("hostile%1").arg(n++));
            WriteFile(name, hostile[i].bytes);
            files << name;
        }
    }
    for (int bits : {1, 4, 8, 24}) {
        for (auto [w, h] : {std::pair{37, 23}, std::pair{1, 1}, std::pair{120, 1}}) {
            const QString name =
                dir.filePath(QStringLiteral("made%1-%2x%3.bmp").arg(bits).arg(w).arg(h));
            WriteFile(name, testsupport::MakeBmp(testsupport::Pattern(w, h, bits)));
            files << name;
        }
    }
    files << dir.filePath(QStringLiteral("missing.png"));
    return files;
}

class Run {
public:
    Run(uint32_t seed, const QStringList &files, const QDir &dir)
        : rng_(seed), files_(files), dir_(dir),
          form_(MainFormSeams{&messages_,
                              &dialogs_,
                              &help_,
                              {},
                              &setup_,
                              SettingsStore(dir.filePath(QStringLiteral("settings")))})
    {
        about_ = std::make_unique<TAboutBox>(::AboutBoxSeams{}, &form_);
        form_.AboutBox = about_.get();
        form_.resize(900, 650);
        form_.show();
        setup_.Answer = [this](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir_.filePath(QStringLiteral("out.pdf")));
            return true;
        };
    }

    QString Step(int index)
    {
        const QString did = Act();
        log_.push_back(did);
        if (log_.size() > 12)
            log_.erase(log_.begin());
        const QString broken = Check();
        if (broken.isEmpty())
            return QString();
        return QStringLiteral("action %1: %2\nlast actions:\n  %3")
            .arg(index)
            .arg(broken, log_.join(QStringLiteral("\n  ")));
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    template <typename T>
    const T &Any(const std::vector<T> &v)
    {
        return v[size_t(Pick(0, int(v.size()) - 1))];
    }

    QPoint InOrNear(QWidget *w)
    {
        return QPoint(Pick(-60, std::min(w->width(), 2000) + 60),
                      Pick(-60, std::min(w->height(), 2000) + 60));
    }

    void Type(SpinEdit *spin)
    {
        static const std::vector<QString> texts = {
            "",    "-",    "x7",   "0",  "1",    "10",   "20",         "100",         "141", "255",
            "256", "1000", "5000", "-1", "-100", "-101", "2147483647", "99999999999", " 42", "4.5"};
        spin->setText(Any(texts));
        if (Pick(0, 2) == 0) {
            QFocusEvent out(QEvent::FocusOut);
            QCoreApplication::sendEvent(spin, &out); // brings the value into its range
        }
    }

    QString Act()
    {
        switch (Pick(0, 21)) {
        case 0: {
            if (Pick(0, 9) == 0) {
                form_.Open1Click(); // no answer queued: the user cancels
                return QStringLiteral("open, cancelled");
            }
            const QString file = files_[Pick(0, int(files_.size()) - 1)];
            dialogs_.OpenAnswers = {file};
            form_.Open1Click();
            return QStringLiteral("open %1").arg(QFileInfo(file).fileName());
        }
        case 1:
        case 2:
        case 3: {
            static const std::vector<Qt::MouseButton> buttons = {Qt::LeftButton, Qt::RightButton,
                                                                 Qt::MiddleButton};
            const Qt::MouseButton button = Any(buttons);
            QWidget *view = form_.PaintBox1;
            const QPoint from = InOrNear(view);
            SendMouse(view, QEvent::MouseButtonPress, button, button, from);
            QPoint at = from;
            for (int moves = Pick(0, 8); moves > 0; --moves) {
                at += QPoint(Pick(-40, 40), Pick(-40, 40));
                SendMouse(view, QEvent::MouseMove, Qt::NoButton, button, at);
                if (Pick(0, 5) == 0)
                    form_.Timer1Timer();
            }
            if (Pick(0, 7) != 0)
                SendMouse(view, QEvent::MouseButtonRelease, button, Qt::NoButton, at);
            return QStringLiteral("stroke %1 from %2,%3 to %4,%5")
                .arg(int(button))
                .arg(from.x())
                .arg(from.y())
                .arg(at.x())
                .arg(at.y());
        }
        case 4:
            SendMouse(form_.PaintBox1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton,
                      InOrNear(form_.PaintBox1));
            return QStringLiteral("release");
        case 5:
            Type(form_.RadiusED);
            return QStringLiteral("radius '%1'").arg(form_.RadiusED->text());
        case 6: Type(form_.ZoomEd); return QStringLiteral("zoom '%1'").arg(form_.ZoomEd->text());
        case 7:
            (Pick(0, 1) ? form_.ColorierenBtn : form_.RadiergummiBtn)->click();
            return QStringLiteral("tool");
        case 8: {
            const std::vector<QToolButton *> presets = {
                form_.ToolButton1, form_.ToolButton2, form_.ToolButton3, form_.ToolButton4,
                form_.ToolButton5, form_.ToolButton6, form_.ToolButton7, form_.ToolButton8,
                form_.ToolButton9, form_.ToolButton10};
            Any(presets)->click();
            return QStringLiteral("preset");
        }
        case 9: {
            QWidget *palette = form_.PalPaintBox;
            const bool left = Pick(0, 2) != 0;
            const Qt::MouseButton button = left ? Qt::LeftButton : Qt::RightButton;
            SendMouse(palette, QEvent::MouseButtonPress, button, button, InOrNear(palette));
            for (int moves = Pick(0, 4); moves > 0; --moves)
                SendMouse(palette, QEvent::MouseMove, Qt::NoButton,
                          Pick(0, 1) ? button : Qt::NoButton, InOrNear(palette));
            SendMouse(palette, QEvent::MouseButtonRelease, button, Qt::NoButton, InOrNear(palette));
            return QStringLiteral("palette");
        }
        case 10: {
            const std::vector<SpinEdit *> colour = {form_.HueED, form_.SatEd, form_.BrightEd};
            SpinEdit *spin = Any(colour);
            Type(spin);
            return QStringLiteral("%1 '%2'").arg(spin->objectName(), spin->text());
        }
        case 11: form_.GrrayBtn->click(); return QStringLiteral("grayscale");
        case 12: form_.SoftenBtn->click(); return QStringLiteral("soften");
        case 13: form_.ColorAllBtn->click(); return QStringLiteral("colorize everything");
        case 14:
        case 15:
            for (int n = Pick(1, 4); n > 0; --n)
                (form_.*(Pick(0, 1) ? &TMainForm::UndoStep : &TMainForm::RedoStep))();
            return QStringLiteral("undo/redo");
        case 16: {
            static const std::vector<QString> names = {"saved.png", "saved.bmp",
                                                       "saved.jpg", "saved.tif",
                                                       "saved.gif", "no-such-folder/x.png",
                                                       "settings",  "."};
            const QString name = dir_.filePath(Any(names));
            dialogs_.SaveAnswers = {name};
            form_.Saveas1Click();
            return QStringLiteral("save as %1").arg(name);
        }
        case 17: {
            if (Pick(0, 9) != 0)
                return QStringLiteral("(no print)");
            ModalThen([](QWidget *dialog) {
                if (auto *setup = dialog->findChild<QPushButton *>(QStringLiteral("PrintSetupBtn")))
                    setup->click();
                if (auto *ok = dialog->findChild<QAbstractButton *>(QStringLiteral("OkBitBtn1")))
                    ok->click();
            });
            form_.Print1Click();
            return QStringLiteral("print to PDF");
        }
        case 18:
            ModalThen([](QWidget *box) { static_cast<QDialog *>(box)->accept(); });
            form_.About1Click();
            return QStringLiteral("about");
        case 19: {
            const std::vector<view::DockEdge> edges = {view::DockEdge::Top, view::DockEdge::Left,
                                                       view::DockEdge::Right,
                                                       view::DockEdge::Bottom};
            form_.DockSpeedBar(Any(edges));
            return QStringLiteral("dock");
        }
        case 20:
            form_.resize(Pick(200, 1400), Pick(150, 1000));
            return QStringLiteral("resize %1 x %2").arg(form_.width()).arg(form_.height());
        default: {
            const int percent = Pick(-20, 140);
            UserMessageEvent progress(percent);
            QCoreApplication::sendEvent(&form_, &progress);
            UserMessageEvent done(0);
            QCoreApplication::sendEvent(&form_, &done);
            return QStringLiteral("message 1024 with %1, then 0").arg(percent);
        }
        }
    }

    // Acts on the modal window that the next call shows, once it is up.
    void ModalThen(std::function<void(QWidget *)> act)
    {
        QTimer::singleShot(0, [act] {
            QElapsedTimer waited;
            waited.start();
            QWidget *window = nullptr;
            while (!(window = QApplication::activeModalWidget()) && waited.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (window)
                act(window);
        });
    }

    QString Check()
    {
        const RasterImage &s = form_.SourceRaster;
        const RasterImage &w = form_.WorkRaster;
        if (!s.Pixels || !w.Pixels || RasterBitCount(s) != 24 || RasterBitCount(w) != 24
            || RasterWidth(s) != RasterWidth(w) || RasterHeight(s) != RasterHeight(w))
            return QStringLiteral("the document rasters are not two 24-bit rasters of one size");
        if (form_.CurHue < 0 || form_.CurHue > 255 || form_.CurSat < 0 || form_.CurSat > 255)
            return QStringLiteral("colour %1/%2 out of range").arg(form_.CurHue).arg(form_.CurSat);
        if (form_.ColorierenBtn->isChecked() == form_.RadiergummiBtn->isChecked())
            return QStringLiteral("not exactly one tool down");
        if (form_.ProgressPercent != 0)
            return QStringLiteral("progress %1 outside an operation").arg(form_.ProgressPercent);
        const int zoom = form_.ZoomEd->value();
        const QSize size(view::ScaledSize(RasterWidth(s), zoom),
                         view::ScaledSize(RasterHeight(s), zoom));
        if (form_.PaintBox1->size() != size)
            return QStringLiteral("view %1 x %2 at zoom %3, wants %4 x %5")
                .arg(form_.PaintBox1->width())
                .arg(form_.PaintBox1->height())
                .arg(zoom)
                .arg(size.width())
                .arg(size.height());
        if (!form_.Painting && form_.UndoHistory.CanUndo()) {
            const Bytes before = Pixels(w);
            form_.UndoStep();
            form_.RedoStep();
            if (Pixels(form_.WorkRaster) != before)
                return QStringLiteral("undo then redo changed the work raster");
        }
        return QString();
    }

    std::mt19937 rng_;
    const QStringList &files_;
    const QDir &dir_;
    FakeMessageService messages_;
    FakeFileDialogService dialogs_;
    FakeHelpEngine help_;
    FakePrinterSetupService setup_;
    TestMainForm form_;
    std::unique_ptr<TAboutBox> about_;
    QStringList log_;
};

} // namespace

class TestRandom : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QStringList files_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        files_ = MakeFiles(QDir(dir_.path()));
        QVERIFY(files_.size() > 100);
    }

    void actions_data()
    {
        QTest::addColumn<uint32_t>("seed");
        for (uint32_t seed : SeedsToRun())
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void actions()
    {
        QFETCH(uint32_t, seed);
        if (QuickSoak() && seed > 2)
            QSKIP("the quick run takes seeds 1 and 2");
        const QDir dir(dir_.path());
        Run run(seed, files_, dir);
        const int count = ActionsPerSeed();
        for (int i = 0; i < count; ++i) {
            const QString broken = run.Step(i);
            if (!broken.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1, %2\nreplay: TINTWELL_RANDOM_SEEDS=%1 "
                                                "QT_QPA_PLATFORM=offscreen %3")
                                     .arg(seed)
                                     .arg(broken, QCoreApplication::applicationFilePath())));
        }
    }
};

QTEST_MAIN(TestRandom)
#include "tst_random.moc"
