// SPDX-License-Identifier: GPL-3.0-or-later
// MessageService over QMessageBox, centred on a parent window. A box asked for without a
// caption of its own gets the application's title, as the platform's message boxes do.
#pragma once

#include "widgets/MessageService.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QtMessageService : public MessageService {
public:
    QtMessageService(QWidget *parent, QString applicationTitle)
        : parent_(parent), applicationTitle_(std::move(applicationTitle))
    {
    }
    MessageButton show(const QString &text, const QString &caption, MessageIcon icon,
                       MessageButtons buttons) override;

private:
    QPointer<QWidget> parent_;
    QString applicationTitle_;
};
