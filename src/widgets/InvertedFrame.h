// SPDX-License-Identifier: GPL-3.0-or-later
// A rectangle outline that inverts what lies under it, shown over a parent widget while
// something is dragged. It takes no mouse input. Its geometry is the outer edge of the
// outline; the outline is Thickness pixels wide.
#pragma once

#include <QWidget>

class InvertedFrame : public QWidget {
    Q_OBJECT
public:
    static constexpr int Thickness = 3;
    explicit InvertedFrame(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};
