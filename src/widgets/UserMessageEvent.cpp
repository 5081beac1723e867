// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/UserMessageEvent.h"

QEvent::Type UserMessageEvent::EventType()
{
    // QEvent::User + 1024 echoes the message number; registerEventType returns it
    // when free and another free number otherwise.
    static const auto type =
        static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + MessageNumber));
    return type;
}
