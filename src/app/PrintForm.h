// SPDX-License-Identifier: GPL-3.0-or-later
// TPrintForm: the dialog of the Print command, made each time the command needs it. It
// shows a preview of the page with the picture where it will print, the print size
// (the whole page, or percentages of it), the two print options, and a button for the
// platform's printer setup. OK closes it with the result Accepted; the caller then
// prints with Choice(). Cancel, Escape and the close box print nothing.
//
// The dialog remembers its settings for the user (FormStorage1): restored each time
// it is shown, saved each time it closes, and saved when it is destroyed while shown.
// Remembered are the window state, both percentages, the size mode and both options,
// so that the next picture prints like the last one.
//
// Files: PrintForm.cpp (controls and handlers), PrintForm_Storage.cpp (settings).
#pragma once

#include "document/RasterImage.h"
#include "view/PrintPlacement.h"
#include "widgets/SettingsStore.h"

#include <QDialog>

#include <memory>

class BevelLine;
class PrinterSetupService;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class SpinEdit;
class SurfacePaintBox;

// What the dialog uses from outside. A null Setup gets the platform's printer-setup
// dialog; Settings defaults to the user's own settings.
struct PrintFormSeams {
    PrinterSetupService *Setup = nullptr;
    SettingsStore Settings = SettingsStore();
};

class TPrintForm : public QDialog {
    Q_OBJECT
public:
    // printer: the printer the picture is for, which the setup button changes; picture:
    // the raster the preview shows. Both must outlive the dialog.
    TPrintForm(QPrinter &printer, const RasterImage &picture, PrintFormSeams seams = {},
               QWidget *parent = nullptr);
    ~TPrintForm() override;

    // ---- handlers ----
    // Restores the remembered settings and brings the controls and preview in line.
    void FormShow();
    // Draws the preview now: the chosen printer's paper and printable area, and the
    // picture where Choice() puts it.
    void PrintPaintBoxPaint();
    // The percentage boxes can be changed only in "User-defined" mode; repaints.
    void UserdefCheckClick();
    void BreitEditChange();
    void HochEditChange();
    // The platform's printer setup for the printer; the preview follows its choice.
    void PrintSetupBtnClick();

    // The settings as the controls hold them now.
    view::PrintChoice Choice() const;
    // The printer's page in its device pixels, as the preview shows it.
    view::PrintPage Page() const;

    // FormStorage1: the remembered settings, group "TPrintForm". Values that are
    // missing or unreadable leave the controls as they are; percentages are clamped
    // to 1..100.
    void RestoreSettings();
    void SaveSettings() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // ---- controls (found by name from outside: NamedWidgets.h) ----
    QLabel *RxLabel1 = nullptr;
    QFrame *Panel1 = nullptr;
    SurfacePaintBox *PrintPaintBox = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *UseFullCheck = nullptr;
    QRadioButton *UserdefCheck = nullptr;
    QLabel *RxLabel2 = nullptr;
    SpinEdit *BreitEdit = nullptr;
    QLabel *RxLabel3 = nullptr;
    SpinEdit *HochEdit = nullptr; // a child of the dialog, placed over GroupBox1
    QGroupBox *GroupBox2 = nullptr;
    QCheckBox *SverhCheck = nullptr;
    QCheckBox *ZentrCheck = nullptr;
    BevelLine *Bevel1 = nullptr;
    QPushButton *OkBitBtn1 = nullptr;
    QPushButton *PrintSetupBtn = nullptr;
    QPushButton *CancelBitBtn2 = nullptr;

    void CreateControls();

    QPrinter &printer_;
    RasterImage picture_; // not owned
    std::unique_ptr<PrinterSetupService> ownSetup_;
    PrinterSetupService *setup_ = nullptr;
    SettingsStore settings_;
    bool open_ = false; // shown and not closed since: destruction saves then
};
