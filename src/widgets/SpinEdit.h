// SPDX-License-Identifier: GPL-3.0-or-later
// A numeric edit with arrows that behaves like the classic Windows spin edit the
// program's handlers were written against:
//  - every change of the text, typed or set by the program, emits changed();
//  - value() is the whole number in the text; text that is not a number reads as the
//    minimum; a typed number outside the range is reported unchanged;
//  - losing the focus puts an out-of-range or unreadable text back into the range
//    (which emits changed() again);
//  - the arrows (and Up/Down keys, the wheel) step by singleStep() from value() and
//    clamp the result to the range, so 10 stepped down by 10 on 1..100 gives 1;
//  - printable keys that no number holds (anything but digits, signs and blanks),
//    which the field would refuse, are left to the window, as are its undo keys.
#pragma once

#include <QAbstractSpinBox>

class SpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setSingleStep(int step) { step_ = step; }
    int singleStep() const { return step_; }

    // The number in the text as typed (not clamped); the minimum when it is no number.
    int value() const;
    // Writes the value, clamped to the range, into the text.
    void setValue(int value);
    // The text as it stands, and writing it unchecked as if typed (for tests and for
    // code that must put an arbitrary text in the field).
    QString text() const;
    void setText(const QString &text);

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;

signals:
    void changed();

protected:
    // Undo and redo keys are left to the window: the picture's undo, not the field's.
    bool event(QEvent *event) override;
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    int clamp(long long value) const;

    int minimum_ = 0;
    int maximum_ = 100;
    int step_ = 1;
};
