// SPDX-License-Identifier: GPL-3.0-or-later
// Driving a modal window from a test: run the code that shows it (and returns when it
// closes), and act on the window while it is shown.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <functional>

// Runs show and, once a modal window is active inside it, act on that window; act must
// close it. Fails the test when no modal window came up.
inline void WhileModal(const std::function<void()> &show, const std::function<void(QWidget *)> &act)
{
    bool acted = false;
    QTimer::singleShot(0, [&] {
        QWidget *window = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((window = QApplication::activeModalWidget()) != nullptr, 5000);
        act(window);
        acted = true;
    });
    show();
    QVERIFY(acted);
}
