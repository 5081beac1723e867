// SPDX-License-Identifier: GPL-3.0-or-later
// Window message 1024 (WM_USER) as a Qt event: any code may deliver it to the main
// window with QCoreApplication::sendEvent. wParam is the message's first parameter.
#pragma once

#include <QEvent>

#include <cstdint>

class UserMessageEvent : public QEvent {
public:
    static constexpr int MessageNumber = 1024;
    // The registered event type, the same for the whole process.
    static QEvent::Type EventType();

    explicit UserMessageEvent(intptr_t wParam) : QEvent(EventType()), wParam_(wParam) {}
    intptr_t wParam() const { return wParam_; }

private:
    intptr_t wParam_;
};
