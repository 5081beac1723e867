// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-picture operations: grayscale, soften and colorize everything. Each works on
// WorkRaster only (SourceRaster stays as opened, so the eraser still restores it),
// runs to the end inside its click handler and then redraws the whole view. Grayscale
// and soften report their rows in the status bar.
#include "app/MainForm.h"

#include "ops/ColorizeAll.h"
#include "ops/Grayscale.h"
#include "ops/Soften.h"
#include "platform/ui/MessageService.h"
#include "platform/ui/SpinEdit.h"

#include <QToolButton>

void TMainForm::GrrayBtnClick()
{
    ops::Grayscale(WorkRaster, [this](int32_t percent) { SetProStatus(percent); });
    PaintBox1Paint();
}

void TMainForm::SoftenBtnClick()
{
    // The fast 3 x 3 box filter: the bytes of ApplyFilter(WorkRaster, SoftenKernel).
    const ops::FilterResult result = ops::Soften(
        WorkRaster, [this](int32_t percent) { SetProStatus(percent); }, seams_.Rasters);
    if (result == ops::FilterResult::OutOfMemory)
        Messages().show(QStringLiteral("Error: Not enough memory for this function!!!"),
                        QStringLiteral("Error"), MessageIcon::Error, MessageButton::Ok);
    PaintBox1Paint();
}

void TMainForm::ColorAllBtnClick()
{
    // The brightness is read once for the whole picture.
    ops::ColorizeAll(SourceRaster, WorkRaster, CurHue, CurSat, BrightEd->value(),
                     ColorierenBtn->isChecked());
    PaintBox1Paint();
}
