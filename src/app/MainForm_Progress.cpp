// SPDX-License-Identifier: GPL-3.0-or-later
// Progress in the status bar's second panel: a navy bar whose length is
// ProgressPercent of the panel. A growing value draws the longer bar straight over the
// shorter one; a shrinking value repaints the whole status bar. Both are on screen
// before SetProStatus returns, because the operations reporting progress do not let
// the event loop run.
#include "app/MainForm.h"

#include "widgets/ProgressGeometry.h"
#include "widgets/ProgressStatusBar.h"
#include "widgets/QtRect.h"

#include <QColor>
#include <QPainter>

namespace {

// Outline and fill alike: navy.
constexpr QRgb kBarColour = 0xff000080u;

} // namespace

void TMainForm::SetProStatus(int Value)
{
    // Operations report every row, so most calls bring the value the bar already shows
    // (or shows at its next paint): drawing that bar again would change nothing.
    if (Value == ProgressPercent)
        return;
    if (Value < ProgressPercent) {
        ProgressPercent = Value;
        StatusBar1->RepaintNow();
        return;
    }
    ProgressPercent = Value;
    SBarPaintMore();
}

void TMainForm::SBarPaintMore()
{
    // Before the panel's first paint ProgressRect is empty and nothing shows; the first
    // paint draws the bar at the stored percentage. A bar that would not change a pixel
    // (a higher percentage of a narrow panel) is skipped by the status bar.
    const ::Rect bar = ProgressBarRect(ProgressRect, ProgressPercent);
    if (!bar.Empty())
        StatusBar1->FillNow(ToQRect(bar), kBarColour);
}

void TMainForm::StatusBar1DrawPanel(QWidget *StatusBar, int, const QRect &Rect)
{
    const ::Rect panel = FromQRect(Rect);
    const ::Rect bar = ProgressBarRect(panel, ProgressPercent);
    auto *statusBar = qobject_cast<ProgressStatusBar *>(StatusBar);
    if (statusBar && !bar.Empty() && statusBar->Canvas())
        statusBar->Canvas()->fillRect(ToQRect(bar), QColor::fromRgb(kBarColour));
    ProgressRect = panel;
}

document::ProgressSink TMainForm::StatusBarProgress()
{
    return [this](int32_t percent) { SetProStatus(percent); };
}

void TMainForm::WMUser(intptr_t wParam)
{
    // The message's first parameter is a 32-bit percentage.
    SetProStatus(static_cast<int32_t>(wParam));
}
