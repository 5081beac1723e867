// SPDX-License-Identifier: GPL-3.0-or-later
// A picture file dropped on the main window (from a file manager) opens as the Open
// command opens it. Anything else is refused while it is dragged, so the pointer shows
// that it cannot be dropped, and does nothing.
#include "app/MainForm.h"

#include "app/DroppedPicture.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

bool TMainForm::FormDragOver(const QMimeData &carried) const
{
    return !DroppedPicture(carried, OpenDialog1.Filter).isEmpty();
}

void TMainForm::FormDragDrop(const QMimeData &carried)
{
    const QString file = DroppedPicture(carried, OpenDialog1.Filter);
    if (!file.isEmpty())
        OpenPictureFile(file);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (FormDragOver(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMainForm::dragMoveEvent(QDragMoveEvent *event)
{
    if (FormDragOver(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    if (!FormDragOver(*event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    FormDragDrop(*event->mimeData());
}
