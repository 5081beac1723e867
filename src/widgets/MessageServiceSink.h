// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing's user messages shown as the program's message boxes: OK only, no caption.
#pragma once

#include "platform/gdi/MessageSink.h"
#include "widgets/MessageService.h"

class MessageServiceSink final : public gdi::MessageSink {
public:
    explicit MessageServiceSink(MessageService &service) : service_(service) {}
    void ShowMessage(const std::string &text) override
    {
        service_.show(QString::fromStdString(text), QString(), MessageIcon::None,
                      MessageButton::Ok);
    }

private:
    MessageService &service_;
};
