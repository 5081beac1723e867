// SPDX-License-Identifier: GPL-3.0-or-later
// A rectangle filled with one colour, drawn with a thin black outline: the colour
// swatches beside the palette.
#pragma once

#include <QWidget>

#include <cstdint>

class Swatch : public QWidget {
    Q_OBJECT
public:
    explicit Swatch(QWidget *parent = nullptr);
    // The fill as a screen colour R + 256 G + 65536 B; the top byte is ignored.
    void setFillColour(uint32_t colour);
    uint32_t fillColour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    uint32_t colour_ = 0xFFFFFF;
};
