// SPDX-License-Identifier: GPL-3.0-or-later
// TAboutBox: the about box, created hidden at start-up and shown modally by the About
// command. Its content is not written yet.
#pragma once

#include <QDialog>

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
};
