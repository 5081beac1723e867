// SPDX-License-Identifier: GPL-3.0-or-later
// MessageService over QMessageBox, centred on a parent window.
#pragma once

#include "platform/ui/MessageService.h"

#include <QPointer>
#include <QWidget>

class QtMessageService : public MessageService {
public:
    explicit QtMessageService(QWidget *parent = nullptr) : parent_(parent) {}
    MessageButton show(const QString &text, const QString &caption, MessageIcon icon,
                       MessageButtons buttons) override;

private:
    QPointer<QWidget> parent_;
};
