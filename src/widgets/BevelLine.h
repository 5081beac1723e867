// SPDX-License-Identifier: GPL-3.0-or-later
// A separator: a lowered line two pixels high (dark above light) along the bottom edge
// of the control's rectangle, the rest of which stays empty.
#pragma once

#include <QWidget>

class BevelLine : public QWidget {
    Q_OBJECT
public:
    explicit BevelLine(QWidget *parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent *event) override;
};
