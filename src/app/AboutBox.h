// SPDX-License-Identifier: GPL-3.0-or-later
// TAboutBox: the about box. The program creates it once, hidden, at start-up, and the
// About command shows that one box modally. It shows the maker's picture, a few lines
// about the maker, a rights line whose year FormCreate fills in from the clock when
// the box is created (so it stays the start-up year for the life of the box), and a
// button that opens the maker's web site through the desktop shell.
#pragma once

#include <QDialog>

#include <memory>

class Clock;
class QFrame;
class QLabel;
class QPushButton;
class ShellService;

// What the about box uses from outside; null members get the system clock and the
// desktop shell.
struct AboutBoxSeams {
    const Clock *SystemClock = nullptr;
    ShellService *Shell = nullptr;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(AboutBoxSeams seams = {}, QWidget *parent = nullptr);
    ~TAboutBox() override;

    // The maker's web site, which BitBtnXP1 is captioned with and opens.
    static QString WebAddress();

    // Puts the clock's year into the rights line in place of its first "XXXX" (any
    // later one stays); a line without "XXXX" gets the year in front of all of it.
    // Runs once, from the constructor.
    void FormCreate();
    // Asks the shell to open the web site; the box stays open and the result is
    // ignored.
    void BitBtnXP1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // ---- controls (found by name from outside: NamedWidgets.h) ----
    QFrame *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr; // the picture, decoded from its JPEG form
    QLabel *ProductName = nullptr;
    QLabel *Copyright = nullptr; // the rights line; "XXXX" marks where the year goes
    QLabel *Comments = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *BitBtnXP1 = nullptr;
    QPushButton *BitBtn1 = nullptr; // OK, the default button

    void CreateControls();

    std::unique_ptr<Clock> ownClock_;
    std::unique_ptr<ShellService> ownShell_;
    const Clock *clock_ = nullptr;
    ShellService *shell_ = nullptr;
};
