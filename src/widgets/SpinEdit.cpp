// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SpinEdit.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <QLineEdit>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

// The whole number the text holds, if it holds one. Surrounding blanks are allowed;
// numbers beyond the int range saturate so that they still clamp the right way.
std::optional<long long> ParseWhole(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 19)
        return std::nullopt;
    bool ok = false;
    const long long v = trimmed.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

// A key that types only printable characters of which none can be part of a number.
bool TypesNoNumber(const QKeyEvent &event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event.text();
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!c.isPrint() || c.isDigit() || c.isSpace() || c == QLatin1Char('-')
            || c == QLatin1Char('+'))
            return false;
    return true;
}

} // namespace

SpinEdit::SpinEdit(QWidget *parent) : QAbstractSpinBox(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setKeyboardTracking(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setMaxLength(12);
    lineEdit()->setText(QStringLiteral("0"));
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::changed);
}

void SpinEdit::setRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
}

int SpinEdit::clamp(long long value) const
{
    return int(std::clamp<long long>(value, minimum_, maximum_));
}

int SpinEdit::value() const
{
    const auto parsed = ParseWhole(lineEdit()->text());
    if (!parsed)
        return minimum_;
    return int(std::clamp<long long>(*parsed, std::numeric_limits<int>::min(),
                                     std::numeric_limits<int>::max()));
}

void SpinEdit::setValue(int value)
{
    lineEdit()->setText(QString::number(clamp(value)));
}

QString SpinEdit::text() const
{
    return lineEdit()->text();
}

void SpinEdit::setText(const QString &text)
{
    lineEdit()->setText(text);
}

void SpinEdit::stepBy(int steps)
{
    setValue(clamp(static_cast<long long>(value()) + static_cast<long long>(steps) * step_));
    selectAll();
}

QValidator::State SpinEdit::validate(QString &input, int &) const
{
    // Digits with an optional leading minus sign; anything else is refused while
    // typing. An empty field or a lone sign is a legal intermediate state.
    const QString t = input.trimmed();
    if (t.isEmpty() || t == QLatin1String("-"))
        return QValidator::Intermediate;
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c.isDigit() && c.unicode() < 128)
            continue;
        if (c == QLatin1Char('-') && i == 0)
            continue;
        return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    // Both arrows always work; stepping past a bound stays at the bound.
    return StepUpEnabled | StepDownEnabled;
}

void SpinEdit::focusOutEvent(QFocusEvent *event)
{
    QAbstractSpinBox::focusOutEvent(event);
    const auto parsed = ParseWhole(lineEdit()->text());
    const long long current = parsed ? *parsed : minimum_;
    if (!parsed || current != clamp(current))
        setValue(clamp(current));
}

void SpinEdit::keyPressEvent(QKeyEvent *event)
{
    if (TypesNoNumber(*event)) {
        event->ignore();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void SpinEdit::keyReleaseEvent(QKeyEvent *event)
{
    if (TypesNoNumber(*event)) {
        event->ignore();
        return;
    }
    QAbstractSpinBox::keyReleaseEvent(event);
}

bool SpinEdit::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)
            || pressed == QKeySequence(Qt::CTRL | Qt::Key_Y)
            || pressed == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)) {
            event->ignore();
            return false;
        }
    }
    return QAbstractSpinBox::event(event);
}
