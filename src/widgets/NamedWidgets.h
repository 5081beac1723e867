// SPDX-License-Identifier: GPL-3.0-or-later
// Making the windows' controls: each gets the name the window knows it by (tests and
// the settings find controls by it).
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

// Gives widget its object name and returns it.
template <typename W>
W *Named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A label at (x, y) of parent, as large as its text.
inline QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, int x, int y)
{
    auto *label = Named(new QLabel(text, parent), name);
    label->move(x, y);
    label->adjustSize();
    return label;
}
