// SPDX-License-Identifier: GPL-3.0-or-later
// TMainForm's creation and release, the close query and the routing of window and
// control events to the named handlers.
#include "app/MainForm.h"

#include "app/Application.h"
#include "app/ProgramDir.h"
#include "colour/PaletteField.h"
#include "document/RecoveryFiles.h"
#include "widgets/AlignPanel.h"
#include "widgets/HelpEngine.h"
#include "widgets/MessageService.h"
#include "widgets/QtFileDialogService.h"
#include "widgets/QtMessageService.h"
#include "widgets/UserMessageEvent.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTimer>
#include <QWheelEvent>

#include <cstring>

namespace {

constexpr const char *OpenFilter =
    "All pictures|*.BMP;*.DIB;*.GIF;*.IFF;*.JIF;*.JPG;*.LBM;*.PCX;*.RLE;*.TGA;*.TIF;*.PNG;*.ORA"
    "|BMP - Windows, OS/2 Bitmap|*.BMP"
    "|DIB - Windows, OS/2 DIB|*.DIB"
    "|GIF - CompuServe Graphics Interchange|*.GIF"
    "|IFF - Amiga|*.IFF"
    "|JIF - JPEG - JFIF Compilant|*.JIF"
    "|JPG - JPEG - JFIF Compilant|*.JPG"
    "|LBM - Deluxe Paint|*.LBM"
    "|PCX - ZSoft Paintbrush|*.PCX"
    "|RLE - Windows RLE|*.RLE"
    "|TGA - Truevision Targa|*.TGA"
    "|TIF - Tagged image file Format|*.TIF"
    "|PNG - Portable Graphics Network|*.PNG"
    "|ORA - OpenRaster work file|*.ORA"
    "|All files (*.*)|*.*";

ShiftState ShiftOf(const QMouseEvent *e)
{
    return ShiftState{e->buttons(), e->modifiers()};
}

// Sets every byte of the raster's pixel memory to 255 (white); nothing without memory.
void Whiten(const RasterImage &raster)
{
    if (raster.Pixels)
        std::memset(raster.Pixels, 255, RasterImageSize(raster));
}

} // namespace

TMainForm::TMainForm(MainFormSeams seams, QWidget *parent)
    : QMainWindow(parent), seams_(std::move(seams))
{
    if (seams_.Messages) {
        messages_ = seams_.Messages;
    } else {
        ownMessages_ = std::make_unique<QtMessageService>(this, ApplicationTitle());
        messages_ = ownMessages_.get();
    }
    if (seams_.Dialogs) {
        dialogs_ = seams_.Dialogs;
    } else {
        ownDialogs_ = std::make_unique<QtFileDialogService>(this);
        dialogs_ = ownDialogs_.get();
    }
    if (seams_.Help) {
        help_ = seams_.Help;
    } else {
        ownHelp_ = std::make_unique<HelpEngine>();
        help_ = ownHelp_.get();
    }

    // The button pictures live in this static library's resources.
    Q_INIT_RESOURCE(images);
    setObjectName(QStringLiteral("MainForm"));
    setAcceptDrops(true); // a picture file dropped on the window opens
    CreateControls();
    CreateMenu();
    // Client area 764 x 504 below the menu bar (main() centres the window on screen).
    resize(764, 504 + menuBar()->sizeHint().height());
    WireControls();
    FormCreate();

    recovery_ = std::make_unique<document::RecoveryFiles>(seams_.RecoveryFolder.isEmpty()
                                                              ? document::DefaultRecoveryFolder()
                                                              : seams_.RecoveryFolder);
    RecoveryTimer = new QTimer(this);
    RecoveryTimer->setSingleShot(true);
    connect(RecoveryTimer, &QTimer::timeout, this, &TMainForm::RecoveryTimerTimer);
}

TMainForm::~TMainForm()
{
    // A write still running finishes first; its file stays, as after a crash, unless
    // the window was closed normally.
    CollectRecoveryWrite(true);
    FormDestroy();
}

void TMainForm::FormCreate()
{
    ProgramDir = WithTrailingSeparator(QCoreApplication::applicationDirPath());
    // No help file is configured, so the help file is the program folder itself; only
    // FormDestroy uses it.
    HelpFile = ProgramDir;

    SourceRaster = seams_.Rasters.New(320, 200, 24);
    Whiten(SourceRaster);
    WorkRaster = seams_.Rasters.New(320, 200, 24);
    Whiten(WorkRaster);

    ZoomEdChange(); // the view takes the raster's size at the start zoom of 100

    SaveDialog1.InitialDir = ProgramDir;
    OpenDialog1.Filter = QString::fromLatin1(OpenFilter);

    PaletteRaster = seams_.Rasters.New(64, 256, 24);
    if (!PaletteRaster.Pixels)
        messages_->show(
            QStringLiteral("Error: Not enough memory to work correcly with this program!!!"),
            QString(), MessageIcon::Error, MessageButton::Ok);
    colour::FillPaletteField(PaletteRaster); // writes nothing without pixel memory

    CurHue = 20;
    CurSat = 141;
}

void TMainForm::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    seams_.Rasters.Delete(PaletteRaster);
    seams_.Rasters.Delete(SourceRaster);
    seams_.Rasters.Delete(WorkRaster);
    PaletteRaster = SourceRaster = WorkRaster = RasterImage{};
    help_->Quit(HelpFile);
}

bool TMainForm::FormCloseQuery()
{
    return SaveChangesQuery();
}

bool TMainForm::WorkChanged() const
{
    return !UndoHistory.Saved();
}

bool TMainForm::SaveChangesQuery()
{
    if (!WorkChanged())
        return true; // nothing is asked
    const MessageButton answer = messages_->show(
        QStringLiteral("The picture has changes that are not saved. Save them first?"), QString(),
        MessageIcon::Warning, MessageButton::Save | MessageButton::Discard | MessageButton::Cancel);
    if (answer == MessageButton::Save)
        return SaveWorkAs();
    // Only Discard goes on: Cancel, and a box closed in any other way, keeps the work.
    return answer == MessageButton::Discard;
}

void TMainForm::Exeit1Click()
{
    close();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (FormCloseQuery()) {
        DropRecovery(); // saved, discarded or unchanged: nothing to recover
        event->accept();
    } else
        event->ignore();
}

bool TMainForm::event(QEvent *event)
{
    // The status bar's text panel stays empty: control hints never go there.
    if (event->type() == QEvent::StatusTip)
        return true;
    // A key released in another window never reaches this one.
    if (event->type() == QEvent::WindowDeactivate)
        EndShowingOriginal();
    return QMainWindow::event(event);
}

void TMainForm::customEvent(QEvent *event)
{
    if (event->type() == UserMessageEvent::EventType()) {
        WMUser(static_cast<UserMessageEvent *>(event)->wParam());
        event->accept();
        return;
    }
    QMainWindow::customEvent(event);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PaintBox1 || watched == PalPaintBox) {
        const bool view = watched == PaintBox1;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            // Qt delivers a quick second press as a double click; on both boxes it is a
            // press like any other (it paints on the view, selects on the palette).
            auto *e = static_cast<QMouseEvent *>(event);
            const QPoint p = e->position().toPoint();
            if (view)
                PaintBox1MouseDown(e->button(), ShiftOf(e), p.x(), p.y());
            else
                PalPaintBoxMouseDown(e->button(), ShiftOf(e), p.x(), p.y());
            return true;
        }
        case QEvent::MouseMove: {
            auto *e = static_cast<QMouseEvent *>(event);
            const QPoint p = e->position().toPoint();
            if (view)
                PaintBox1MouseMove(ShiftOf(e), p.x(), p.y());
            else
                PalPaintBoxMouseMove(ShiftOf(e), p.x(), p.y());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto *e = static_cast<QMouseEvent *>(event);
            const QPoint p = e->position().toPoint();
            if (view)
                PaintBox1MouseUp(e->button(), ShiftOf(e), p.x(), p.y());
            return true;
        }
        default: break;
        }
        return false;
    }
    if (watched == SpeedBar1)
        return SpeedBarMouse(event);
    if (ScrollBox1 && watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        // Turns over the picture reach the viewport too: the view does not take them.
        auto *e = static_cast<QWheelEvent *>(event);
        if (!ScrollBox1MouseWheel(e->modifiers(), e->angleDelta(), e->position().toPoint()))
            return false; // the scroll area scrolls
        e->accept();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
