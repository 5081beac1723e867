// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-picture operations: grayscale, soften and colorize everything. Each works on
// WorkRaster only (SourceRaster stays as opened, so the eraser still restores it),
// runs to the end inside its click handler and then redraws the whole view. Grayscale
// and soften report their rows in the status bar. Each is one step of the undo history,
// which keeps what it overwrote and how to do it again.
#include "app/MainForm.h"

#include "ops/ColorizeAll.h"
#include "ops/Grayscale.h"
#include "ops/Soften.h"
#include "widgets/MessageService.h"
#include "widgets/SpinEdit.h"

#include <QToolButton>

void TMainForm::GrrayBtnClick()
{
    UndoHistory.BeginWhole(SourceRaster, WorkRaster);
    ops::Grayscale(WorkRaster, [this](int32_t percent) { SetProStatus(percent); });
    UndoHistory.EndWhole([](const RasterImage &, const RasterImage &work) {
        ops::Grayscale(work, {});
        return true;
    });
    PaintBox1Paint();
}

void TMainForm::SoftenBtnClick()
{
    // The fast 3 x 3 box filter: the bytes of ApplyFilter(WorkRaster, SoftenKernel).
    UndoHistory.BeginWhole(SourceRaster, WorkRaster);
    const ops::FilterResult result = ops::Soften(
        WorkRaster, [this](int32_t percent) { SetProStatus(percent); }, seams_.Rasters);
    if (result == ops::FilterResult::Filtered) {
        // Done again on redo or when the picture is rebuilt, with the library's memory.
        UndoHistory.EndWhole([](const RasterImage &, const RasterImage &work) {
            return ops::Soften(work, {}, document::RasterLibrary{}) == ops::FilterResult::Filtered;
        });
    } else {
        UndoHistory.CancelWhole();
    }
    if (result == ops::FilterResult::OutOfMemory)
        Messages().show(QStringLiteral("Error: Not enough memory for this function!!!"),
                        QStringLiteral("Error"), MessageIcon::Error, MessageButton::Ok);
    PaintBox1Paint();
}

void TMainForm::ColorAllBtnClick()
{
    // The brightness is read once for the whole picture.
    const int32_t hue = CurHue, sat = CurSat, bright = BrightEd->value();
    const bool colorize = ColorierenBtn->isChecked();
    UndoHistory.BeginWhole(SourceRaster, WorkRaster);
    ops::ColorizeAll(SourceRaster, WorkRaster, hue, sat, bright, colorize);
    UndoHistory.EndWhole(
        [=](const RasterImage &source, const RasterImage &work) {
            ops::ColorizeAll(source, work, hue, sat, bright, colorize);
            return true;
        },
        colorize ? std::optional(colour::Paint{hue, sat, bright}) : std::nullopt);
    PaintBox1Paint();
}
