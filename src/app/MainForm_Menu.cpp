// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu and the wiring of every control's event to its handler.
#include "app/MainForm.h"

#include "widgets/SpinEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

namespace {

QAction *AddItem(QMenu *menu, const char *name, const char *caption)
{
    QAction *action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction *AddSeparator(QMenu *menu, const char *name)
{
    QAction *action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

void TMainForm::CreateMenu()
{
    // Captions carry no accelerator characters and no item has a shortcut key.
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    File1 = bar->addMenu(QStringLiteral("File"));
    File1->setObjectName(QStringLiteral("File1"));
    Open1 = AddItem(File1, "Open1", "Open...");
    Saveas1 = AddItem(File1, "Saveas1", "Save as...");
    N1 = AddSeparator(File1, "N1");
    Print1 = AddItem(File1, "Print1", "Print...");
    N2 = AddSeparator(File1, "N2");
    Exeit1 = AddItem(File1, "Exeit1", "Exit");
    Help1 = bar->addMenu(QStringLiteral("Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    About1 = AddItem(Help1, "About1", "About");
}

void TMainForm::WireControls()
{
    connect(Open1, &QAction::triggered, this, &TMainForm::Open1Click);
    connect(OpenBtn, &QToolButton::clicked, this, &TMainForm::Open1Click);
    connect(Saveas1, &QAction::triggered, this, &TMainForm::Saveas1Click);
    connect(SaveAsButton, &QToolButton::clicked, this, &TMainForm::Saveas1Click);
    connect(Print1, &QAction::triggered, this, &TMainForm::Print1Click);
    connect(Exeit1, &QAction::triggered, this, &TMainForm::Exeit1Click);
    connect(About1, &QAction::triggered, this, &TMainForm::About1Click);

    const std::pair<QToolButton *, void (TMainForm::*)()> presets[] = {
        {ToolButton1, &TMainForm::ToolButton1Click}, {ToolButton2, &TMainForm::ToolButton2Click},
        {ToolButton3, &TMainForm::ToolButton3Click}, {ToolButton4, &TMainForm::ToolButton4Click},
        {ToolButton5, &TMainForm::ToolButton5Click}, {ToolButton6, &TMainForm::ToolButton6Click},
        {ToolButton7, &TMainForm::ToolButton7Click}, {ToolButton8, &TMainForm::ToolButton8Click},
        {ToolButton9, &TMainForm::ToolButton9Click}, {ToolButton10, &TMainForm::ToolButton10Click},
    };
    for (const auto &[button, handler] : presets)
        connect(button, &QToolButton::clicked, this, handler);

    connect(GrrayBtn, &QPushButton::clicked, this, &TMainForm::GrrayBtnClick);
    connect(SoftenBtn, &QPushButton::clicked, this, &TMainForm::SoftenBtnClick);
    connect(ColorAllBtn, &QPushButton::clicked, this, &TMainForm::ColorAllBtnClick);

    connect(HueED, &SpinEdit::changed, this, &TMainForm::HueEDChange);
    connect(SatEd, &SpinEdit::changed, this, &TMainForm::SatEdChange);
    connect(BrightEd, &SpinEdit::changed, this, &TMainForm::SatEdChange);
    connect(ZoomEd, &SpinEdit::changed, this, &TMainForm::ZoomEdChange);
    connect(FollowEdgesCheck, &QCheckBox::toggled, this, &TMainForm::FollowEdgesCheckClick);

    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);

    // Undo, redo and zoom are the window's keys; the menu bar stays as it is.
    const auto key = [this](QKeySequence sequence, void (TMainForm::*handler)()) {
        auto *shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_Z), &TMainForm::UndoStep);
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &TMainForm::RedoStep);
    key(QKeySequence(Qt::CTRL | Qt::Key_Y), &TMainForm::RedoStep);
    key(QKeySequence(Qt::CTRL | Qt::Key_Plus), &TMainForm::ZoomInStep);
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), &TMainForm::ZoomInStep);
    key(QKeySequence(Qt::CTRL | Qt::Key_Minus), &TMainForm::ZoomOutStep);
    key(QKeySequence(Qt::CTRL | Qt::Key_0), &TMainForm::ZoomHundred);
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_0), &TMainForm::ZoomFit);
    // PaintBox1, PalPaintBox, SpeedBar1 and the wheel over ScrollBox1's viewport reach
    // their handlers through eventFilter, the user message through customEvent, the
    // status bar's panel through its owner.
}
