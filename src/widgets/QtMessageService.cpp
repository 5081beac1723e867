// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/QtMessageService.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageButton QtMessageService::show(const QString &text, const QString &caption, MessageIcon icon,
                                     MessageButtons buttons)
{
    QMessageBox box(ToQt(icon), caption.isEmpty() ? applicationTitle_ : caption, text,
                    QMessageBox::NoButton, parent_.data());
    QMessageBox::StandardButtons qtButtons;
    if (buttons.testFlag(MessageButton::Ok) || buttons == MessageButtons())
        qtButtons |= QMessageBox::Ok;
    if (buttons.testFlag(MessageButton::Cancel))
        qtButtons |= QMessageBox::Cancel;
    if (buttons.testFlag(MessageButton::Yes))
        qtButtons |= QMessageBox::Yes;
    if (buttons.testFlag(MessageButton::No))
        qtButtons |= QMessageBox::No;
    if (buttons.testFlag(MessageButton::Save))
        qtButtons |= QMessageBox::Save;
    if (buttons.testFlag(MessageButton::Discard))
        qtButtons |= QMessageBox::Discard;
    box.setStandardButtons(qtButtons);
    switch (box.exec()) {
    case QMessageBox::Cancel: return MessageButton::Cancel;
    case QMessageBox::Yes: return MessageButton::Yes;
    case QMessageBox::No: return MessageButton::No;
    case QMessageBox::Save: return MessageButton::Save;
    case QMessageBox::Discard: return MessageButton::Discard;
    default: return MessageButton::Ok;
    }
}
