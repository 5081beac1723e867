// SPDX-License-Identifier: GPL-3.0-or-later
// FormStorage1: the print dialog's remembered settings, in the group named after the
// dialog's class. Each value is stored under its control's name and property.
#include "app/PrintForm.h"

#include "widgets/SpinEdit.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSettings>

#include <algorithm>
#include <optional>

namespace {

const QString kGroup = QStringLiteral("TPrintForm");
const QString kWindowState = QStringLiteral("WindowState");
const QString kWidth = QStringLiteral("BreitEdit.Value");
const QString kHeight = QStringLiteral("HochEdit.Value");
const QString kUserDefined = QStringLiteral("UserdefCheck.Checked");
const QString kAspect = QStringLiteral("SverhCheck.Checked");
const QString kCentred = QStringLiteral("ZentrCheck.Checked");

// The window states by the names the settings use.
const QString kNormal = QStringLiteral("Normal");
const QString kMinimized = QStringLiteral("Minimized");
const QString kMaximized = QStringLiteral("Maximized");

void RestoreInt(const QSettings &settings, const QString &key, SpinEdit *edit)
{
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    if (ok)
        edit->setValue(value); // clamps to the range
}

// A stored "true" or "false" (as the settings file holds them, or 1 and 0); nothing
// for a missing or other value.
std::optional<bool> ReadBool(const QSettings &settings, const QString &key)
{
    const QString text = settings.value(key).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return std::nullopt;
}

} // namespace

void TPrintForm::RestoreSettings()
{
    const std::unique_ptr<QSettings> settings = settings_.Open();
    settings->beginGroup(kGroup);
    // A minimised dialog would be lost to its modal owner: only maximised comes back.
    const QString state = settings->value(kWindowState).toString();
    if (state == kMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (state == kNormal || state == kMinimized)
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
    RestoreInt(*settings, kWidth, BreitEdit);
    RestoreInt(*settings, kHeight, HochEdit);
    if (const std::optional<bool> userDefined = ReadBool(*settings, kUserDefined))
        (*userDefined ? UserdefCheck : UseFullCheck)->setChecked(true);
    if (const std::optional<bool> aspect = ReadBool(*settings, kAspect))
        SverhCheck->setChecked(*aspect);
    if (const std::optional<bool> centred = ReadBool(*settings, kCentred))
        ZentrCheck->setChecked(*centred);
    settings->endGroup();
}

void TPrintForm::SaveSettings() const
{
    const std::unique_ptr<QSettings> settings = settings_.Open();
    settings->beginGroup(kGroup);
    const Qt::WindowStates state = windowState();
    settings->setValue(kWindowState, state & Qt::WindowMinimized   ? kMinimized
                                     : state & Qt::WindowMaximized ? kMaximized
                                                                   : kNormal);
    // A typed value outside the range is stored as the bound it would be put back to.
    settings->setValue(kWidth, std::clamp(BreitEdit->value(), 1, 100));
    settings->setValue(kHeight, std::clamp(HochEdit->value(), 1, 100));
    settings->setValue(kUserDefined, UserdefCheck->isChecked());
    settings->setValue(kAspect, SverhCheck->isChecked());
    settings->setValue(kCentred, ZentrCheck->isChecked());
    settings->endGroup();
}
