// SPDX-License-Identifier: GPL-3.0-or-later
// TMainForm: the program's one main window. It owns the document (the three rasters,
// the current colour), every control the user works with, and the handlers their
// events go to. The handlers keep their classic names (FormCreate, Open1Click,
// PaintBox1Paint, ...). The class is split over files by area:
//   MainForm.cpp          creation, release, close query, event routing
//   MainForm_Layout.cpp   the controls and their places
//   MainForm_Menu.cpp     the menu and the wiring of every control
//   MainForm_Dock.cpp     dragging the left tool bar to another edge
//   MainForm_Save.cpp     Save as
//   MainForm_Open.cpp     Open and loading
//   MainForm_WorkFile.cpp work files: what they keep of the window, opening one
//   MainForm_Recovery.cpp the recovery work file: written after steps, offered at start
//   MainForm_Drop.cpp     a picture file dropped on the window
//   MainForm_View.cpp     zoom and picture view
//   MainForm_Zoom.cpp     zoom from the wheel and the keys
//   MainForm_Brush.cpp    brush strokes
//   MainForm_Colour.cpp   presets, colour spin edits, palette picker
//   MainForm_Ops.cpp      whole-picture operations
//   MainForm_Progress.cpp status bar progress
//   MainForm_Print.cpp    Print and About
//
// The fields and controls are the window's own; its commands and event handlers are
// public, for the wiring and for code that drives the window as a user would.
#pragma once

#include "document/RasterImage.h"
#include "document/RasterLibrary.h"
#include "history/History.h"
#include "platform/gdi/Rect.h"
#include "view/BrushStroke.h"
#include "view/DockEdge.h"
#include "widgets/FileDialogService.h"
#include "widgets/SettingsStore.h"
#include "widgets/ShiftState.h"
#include "widgets/SurfacePaintBox.h"

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <QElapsedTimer>

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>

class AlignPanel;
namespace document {
class RecoveryFiles;
}
class HelpEngine;
class MessageService;
class PrinterSetupService;
class ProgressStatusBar;
class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QMenu;
class QMimeData;
class QPrinter;
class QPushButton;
class QScrollArea;
class QTimer;
class QToolButton;
class SpinEdit;
class Swatch;
class TAboutBox;
namespace document {
struct LoadMessage;
struct WorkFileContent;
struct WorkState;
} // namespace document
namespace view {
struct PrintChoice;
}

// What the main window uses from outside, replaceable by tests. Null members get the
// program's defaults: Qt message boxes and dialogs, no help engine, the raster
// library's own newdib, deldib and OpenDib, the platform's printer setup and the
// user's own remembered settings.
struct MainFormSeams {
    MessageService *Messages = nullptr;
    FileDialogService *Dialogs = nullptr;
    HelpEngine *Help = nullptr;
    document::RasterLibrary Rasters;
    PrinterSetupService *PrinterSetup = nullptr;
    SettingsStore Settings = SettingsStore();
    // Where recovery work files go; empty: document::DefaultRecoveryFolder().
    QString RecoveryFolder = QString();
};

class TMainForm : public QMainWindow {
    Q_OBJECT
    // The window tests' view of the fields and controls (tests/app/WindowFixture.h).
    friend class TestMainForm;

public:
    explicit TMainForm(MainFormSeams seams = {}, QWidget *parent = nullptr);
    ~TMainForm() override;

    TAboutBox *AboutBox = nullptr; // the one about box, created at start-up

    // ---- window ----
    void FormCreate();
    void FormDestroy();
    // Asks to save the changes when there are any (SaveChangesQuery) and says whether the
    // window may close.
    bool FormCloseQuery();
    // Whatever is about to replace or drop the picture asks here first. When the work
    // has changes that are not saved, asks whether to save them: Save runs Save as,
    // Discard goes on, Cancel stops. True when the caller may go on: nothing was
    // changed, the work was saved, or the user chose to discard it.
    bool SaveChangesQuery();
    // Whether the work raster differs from what was last opened or saved.
    bool WorkChanged() const;

    // ---- file ----
    void Open1Click();
    // Opens a file named from outside the open dialog (dropped on the window, or on the
    // command line) as Open does: first the question about changes not saved, then
    // openfilenow; nothing when the answer keeps the work.
    void OpenPictureFile(const QString &fileName);
    // Opens the file the program was started with (CommandLineFile of arguments) through
    // OpenPictureFile; nothing without one.
    void OpenCommandLine(const QStringList &arguments);
    void openfilenow(const QString &fileName);
    // A drag over the window: whether it carries a picture file it opens
    // (DroppedPicture), and dropping it, which opens that file through OpenPictureFile.
    bool FormDragOver(const QMimeData &carried) const;
    void FormDragDrop(const QMimeData &carried);
    void DepthUpTo(int depth);
    void Saveas1Click();
    // Save as, saying whether the work was written (false when cancelled or failed; the
    // failure has been shown).
    bool SaveWorkAs();
    void Print1Click();
    // The printer Print uses, made on first use and kept, so that the printer, file
    // and paper chosen in its setup stay chosen for the session.
    QPrinter &Printer();
    // Prints WorkRaster on one page of Printer() as choice says. Returns an empty text
    // on success, else the reason for the user; a failure changes nothing.
    QString PrintWorkRaster(const view::PrintChoice &choice);
    void Exeit1Click();
    void About1Click();

    // ---- colour ----
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton6Click();
    void ToolButton7Click();
    void ToolButton8Click();
    void ToolButton9Click();
    void ToolButton10Click();
    void HueEDChange();
    void SatEdChange();
    void PalPaintBoxPaint();
    void PalPaintBoxMouseMove(ShiftState Shift, int X, int Y);
    void PalPaintBoxMouseDown(Qt::MouseButton Button, ShiftState Shift, int X, int Y);

    // ---- whole-picture operations ----
    void GrrayBtnClick();
    void SoftenBtnClick();
    void ColorAllBtnClick();

    // ---- view and brush ----
    void ZoomEdChange();
    // Draws the shown raster (ShownRaster) at the zoom of ZoomEd.
    void PaintBox1Paint();
    void PaintBox1MouseDown(Qt::MouseButton Button, ShiftState Shift, int X, int Y);
    void PaintBox1MouseMove(ShiftState Shift, int X, int Y);
    void PaintBox1MouseUp(Qt::MouseButton Button, ShiftState Shift, int X, int Y);
    void Timer1Timer();
    // One stamp, and the line of stamps of a stroke step; each returns the raster
    // rectangle it wrote (rows from the top), which the handler repaints.
    Rect DoBrush(int cx, int cy, int hue, int sat);
    Rect BrushLine(int x1, int y1, int x2, int y2, int hue, int sat);
    void DoPix(int x, int y, int hue, int sat, int bright);
    // With Follow edges checked, makes what the picture's spreads work with now (a
    // moment on a large picture), when the box is ticked or a picture opens, rather than
    // after the release of the first stroke.
    void FollowEdgesCheckClick();

    // ---- recovery ----
    // Shown after the window: when a recovery work file of a window that was not closed
    // normally is found, asks whether to restore it. Yes opens it as changed work, No
    // removes it.
    void OfferRecovery();
    // ---- zoom from the wheel and keys ----
    // Ctrl + wheel over the view steps ZoomEd by its step per notch (kept still: the
    // picture point under the pointer); Shift + wheel scrolls sideways. True when the
    // turn was used. MousePos is a point of ScrollBox1's viewport.
    bool ScrollBox1MouseWheel(Qt::KeyboardModifiers Shift, QPoint WheelDelta, QPoint MousePos);
    // Ctrl+plus or Ctrl+equals, Ctrl+minus, Ctrl+0 and Ctrl+Shift+0: a step up or down,
    // 100, and the largest step that shows the whole picture, each about the centre of
    // the visible area.
    void ZoomInStep();
    void ZoomOutStep();
    void ZoomHundred();
    void ZoomFit();
    // Sets ZoomEd to zoom (put into its range), which runs ZoomEdChange, and scrolls so
    // that the picture point at `at` (a point of ScrollBox1's viewport) stays there as
    // far as the scroll range allows.
    void ZoomAbout(int64_t zoom, QPoint at);

    // ---- the original at a glance ----
    // While the backslash key is held in the window, the view shows SourceRaster, the
    // picture as opened, instead of WorkRaster, and presses on the view paint nothing.
    // The key's auto-repeat is ignored; a press while a stroke is painted does nothing;
    // releasing it, or the window losing the keyboard, shows the work again.
    void FormKeyDown(int Key);
    void FormKeyUp(int Key);

    // ---- undo (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y redo) ----
    // Nothing while a stroke is painted or when there is nothing to undo or redo; the
    // view is repainted at once and the brush outline kept where it was.
    void UndoStep();
    void RedoStep();

    // ---- progress ----
    void SetProStatus(int Value);
    void SBarPaintMore();
    void StatusBar1DrawPanel(QWidget *StatusBar, int Panel, const QRect &Rect);
    void WMUser(intptr_t wParam);

    // ---- tool bar docking ----
    view::DockEdge SpeedBarEdge() const { return dockEdge_; }
    // Puts the left tool bar at an edge of OuterPanel and lays its controls out
    // along it.
    void DockSpeedBar(view::DockEdge edge);

    MessageService &Messages() const { return *messages_; }
    FileDialogService &Dialogs() const { return *dialogs_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void customEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    // ---- document ----
    RasterImage SourceRaster;
    RasterImage WorkRaster;
    RasterImage PaletteRaster;
    QString ProgramDir; // the program's folder, always ending in "/"
    QString HelpFile;   // ProgramDir prefixed to the (empty) help-file name
    int32_t CurHue = 0;
    int32_t CurSat = 0;
    bool SyncingEdits = false; // set while the palette repaint writes HueED and SatEd

    // ---- brush stroke ----
    bool Painting = false;
    int32_t LastMouseX = 0;
    int32_t LastMouseY = 0;
    bool OutlineShown = false;
    Rect OutlineRect;

    // Set while the backslash key shows the original in the view.
    bool ShowingOriginal = false;
    // The part of a Ctrl + wheel turn not yet a whole notch.
    int32_t ZoomWheelAngle = 0;

    // ---- undo ----
    // Every brush stroke and whole-picture operation since the picture was opened.
    history::History UndoHistory;

    // ---- progress ----
    int32_t ProgressPercent = 0;
    Rect ProgressRect;

    // ---- controls ----
    ProgressStatusBar *StatusBar1 = nullptr; // text panel (empty) and progress panel
    AlignPanel *OuterPanel = nullptr;
    AlignPanel *Panel7 = nullptr;
    AlignPanel *Panel11 = nullptr;
    QToolButton *OpenBtn = nullptr;
    QToolButton *SaveAsButton = nullptr;
    QLabel *AdvertLabel = nullptr;
    AlignPanel *SpeedBar1 = nullptr;
    QToolButton *ColorierenBtn = nullptr;
    QToolButton *RadiergummiBtn = nullptr;
    QButtonGroup *ToolGroup = nullptr;
    QLabel *RadiusLabel = nullptr;
    SpinEdit *RadiusED = nullptr;
    QLabel *ZoomLabel = nullptr;
    SpinEdit *ZoomEd = nullptr;
    QCheckBox *FollowEdgesCheck = nullptr;
    QCheckBox *KeepTonesCheck = nullptr;
    AlignPanel *Panel20 = nullptr;
    Swatch *Shape1 = nullptr;
    Swatch *Shape2 = nullptr;
    Swatch *Shape3 = nullptr;
    Swatch *Shape4 = nullptr;
    SurfacePaintBox *PalPaintBox = nullptr;
    QLabel *HueLabel = nullptr;
    QLabel *SatLabel = nullptr;
    AlignPanel *Panel4 = nullptr;
    AlignPanel *Panel19 = nullptr;
    QWidget *ToolBar1 = nullptr;
    QToolButton *ToolButton1 = nullptr;
    QToolButton *ToolButton2 = nullptr;
    QToolButton *ToolButton3 = nullptr;
    QToolButton *ToolButton4 = nullptr;
    QToolButton *ToolButton5 = nullptr;
    QToolButton *ToolButton6 = nullptr;
    QToolButton *ToolButton7 = nullptr;
    QToolButton *ToolButton8 = nullptr;
    QToolButton *ToolButton9 = nullptr;
    QToolButton *ToolButton10 = nullptr;
    QPushButton *GrrayBtn = nullptr;
    QPushButton *SoftenBtn = nullptr;
    QLabel *ColourLabel = nullptr;
    SpinEdit *HueED = nullptr;
    QLabel *SaturationLabel = nullptr;
    SpinEdit *SatEd = nullptr;
    QLabel *BrightnessLabel = nullptr;
    SpinEdit *BrightEd = nullptr;
    QPushButton *ColorAllBtn = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    SurfacePaintBox *PaintBox1 = nullptr;

    QMenu *File1 = nullptr;
    QAction *Open1 = nullptr;
    QAction *Saveas1 = nullptr;
    QAction *N1 = nullptr;
    QAction *Print1 = nullptr;
    QAction *N2 = nullptr;
    QAction *Exeit1 = nullptr;
    QMenu *Help1 = nullptr;
    QAction *About1 = nullptr;

    OpenDialogRequest OpenDialog1;
    SaveDialogRequest SaveDialog1;
    QTimer *Timer1 = nullptr;

    void CreateControls();
    void CreateMenu();
    void WireControls();
    void LayOutSpeedBar();
    bool SpeedBarMouse(QEvent *event);
    void DrawDockFrame(view::DockEdge edge);
    void RemoveDockFrame();
    QRect DockFrameRect(view::DockEdge edge) const;

    // What the view shows: SourceRaster while ShowingOriginal, else WorkRaster.
    const RasterImage &ShownRaster() const;
    // Ends ShowingOriginal and shows the work; nothing when it is not set.
    void EndShowingOriginal();
    // The centre of ScrollBox1's viewport, in its coordinates.
    QPoint ViewCentre() const;
    void ShowLoadMessage(const document::LoadMessage &message);
    // The colour, tool and zoom a work file keeps, as the controls have them now; and
    // putting them back.
    document::WorkState CurrentWorkState() const;
    void ApplyWorkState(const document::WorkState &state);
    // Makes the read work file the document (or shows why it was not read); the new
    // history starts from its work raster.
    void AdoptWorkFile(const document::WorkFileContent &content, const std::string &fileName);
    // What the click of ToolButton n (1..10) does.
    void PresetClick(int n);
    // Fills Shape2 with hue and sat at lightness 128.
    void PreviewColour(int32_t hue, int32_t sat);
    // What every pixel of a stroke step gets, read from the controls now.
    view::StrokeParams StrokeNow(int32_t hue, int32_t sat) const;
    // Removes the outline and redraws the view pixels showing the changed raster part.
    void RepaintStroke(const Rect &changed);
    void EraseOutline();
    void ShowUndone(const Rect &changed);
    void DrawOutline(int32_t x, int32_t y);
    // A sink for the long operations: every report goes to SetProStatus.
    document::ProgressSink StatusBarProgress();

    // After every finished step: writes the work to the recovery file in the background,
    // at most once per recoveryInterval_ (a step sooner is written when the interval
    // ends); removes the file when the work has no changes. A failed write shows
    // nothing and is tried again at the next step.
    void RecoveryStep();
    // Collects a finished background write; wait: waits for one still running.
    void CollectRecoveryWrite(bool wait);
    // The work is what a file holds (opened, saved, discarded at close): no recovery.
    void DropRecovery();
    void RecoveryTimerTimer();

    std::unique_ptr<document::RecoveryFiles> recovery_;
    std::future<QString> recoveryWrite_; // the write running, if any
    RasterImage recoveryCopies_[2] = {}; // the rasters it writes, released when collected
    QElapsedTimer recoveryClock_;        // since the last write began; invalid: none yet
    int recoveryInterval_ = 60'000;      // milliseconds
    bool recoveryDue_ = false;           // a step not written yet
    QTimer *RecoveryTimer = nullptr;     // a write put off by the interval, or one polled

    std::unique_ptr<MessageService> ownMessages_;
    std::unique_ptr<FileDialogService> ownDialogs_;
    std::unique_ptr<HelpEngine> ownHelp_;
    MessageService *messages_ = nullptr;
    FileDialogService *dialogs_ = nullptr;
    HelpEngine *help_ = nullptr;
    MainFormSeams seams_;
    bool destroyed_ = false;
    // Shared, not unique: made in MainForm_Print.cpp, the one file that knows the type.
    std::shared_ptr<QPrinter> printer_;

    view::DockEdge dockEdge_ = view::DockEdge::Left;
    bool dockPressed_ = false;
    bool dockDragging_ = false;
    QPoint dockPressPoint_;
    view::DockEdge dockTarget_ = view::DockEdge::Left;
    QWidget *dockFrame_ = nullptr;
};
