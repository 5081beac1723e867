// SPDX-License-Identifier: GPL-3.0-or-later
// The program's entry: application title, the main window, the hidden about box, the
// file named on the command line, and the message loop until the main window closes.
#include "app/AboutBox.h"
#include "app/Application.h"
#include "app/MainForm.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

bool HaveDisplay()
{
    auto set = [](const char *name) {
        const char *v = std::getenv(name);
        return v && *v;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char **argv)
{
    if (!HaveDisplay()) {
        std::fputs("Tintwell needs a graphical display, and none was found (neither DISPLAY "
                   "nor WAYLAND_DISPLAY is set).\nOn a machine without one, run it under a "
                   "virtual display:  xvfb-run scripts/run.sh\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    SetUpApplication();

    TMainForm mainForm;
    TAboutBox aboutBox({}, &mainForm);
    aboutBox.hide();
    mainForm.AboutBox = &aboutBox;

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = mainForm.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        mainForm.move(frame.topLeft());
    }
    mainForm.show();
    // Once the window is on screen, from the message loop: the offer of a recovery work
    // file first, then a file named on the command line ("Open with" on the desktop),
    // opened with its progress and messages as from the Open command.
    QTimer::singleShot(0, &mainForm, [&mainForm] {
        mainForm.OfferRecovery();
        mainForm.OpenCommandLine(QCoreApplication::arguments());
    });
    return app.exec();
}
