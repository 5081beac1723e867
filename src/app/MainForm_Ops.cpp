// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-picture operations: grayscale, soften and colorize everything. Each works on
// WorkRaster only (SourceRaster stays as opened, so the eraser still restores it),
// runs to the end inside its click handler and then redraws the whole view. Grayscale
// and soften report their rows in the status bar. Each runs once through the undo
// history, which keeps what it overwrote and how to do it again.
#include "app/MainForm.h"

#include "ops/ColorizeAll.h"
#include "ops/Grayscale.h"
#include "ops/Soften.h"
#include "widgets/MessageService.h"
#include "widgets/SpinEdit.h"

#include <QCheckBox>
#include <QToolButton>

void TMainForm::GrrayBtnClick()
{
    UndoHistory.Apply(
        SourceRaster, WorkRaster,
        [](const RasterImage &, const RasterImage &work, const document::ProgressSink &progress) {
            ops::Grayscale(work, progress);
            return true;
        },
        StatusBarProgress());
    PaintBox1Paint();
    RecoveryStep();
}

void TMainForm::SoftenBtnClick()
{
    // The fast 3 x 3 box filter: the bytes of ApplyFilter(WorkRaster, SoftenKernel).
    const bool filtered = UndoHistory.Apply(
        SourceRaster, WorkRaster,
        [rasters = seams_.Rasters](const RasterImage &, const RasterImage &work,
                                   const document::ProgressSink &progress) {
            return ops::Soften(work, progress, rasters) == ops::FilterResult::Filtered;
        },
        StatusBarProgress());
    // A picture Soften works on that was not softened: its row buffer could not be had.
    if (!filtered && ops::Filterable(WorkRaster))
        Messages().show(QStringLiteral("Error: Not enough memory for this function!!!"),
                        QStringLiteral("Error"), MessageIcon::Error, MessageButton::Ok);
    PaintBox1Paint();
    RecoveryStep();
}

void TMainForm::ColorAllBtnClick()
{
    // The brightness is read once for the whole picture.
    const colour::Paint paint{CurHue, CurSat, BrightEd->value(), KeepTonesCheck->isChecked()};
    const bool colorize = ColorierenBtn->isChecked();
    UndoHistory.Apply(
        SourceRaster, WorkRaster,
        [=](const RasterImage &source, const RasterImage &work, const document::ProgressSink &) {
            ops::ColorizeAll(source, work, paint, colorize);
            return true;
        },
        {}, colorize ? std::optional(paint) : std::nullopt);
    PaintBox1Paint();
    RecoveryStep();
}
