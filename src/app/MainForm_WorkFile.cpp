// SPDX-License-Identifier: GPL-3.0-or-later
// Work files: what they keep of the window besides the two rasters (the colour, the
// tool and the zoom), and making an opened work file the document. Reading and writing
// the files is the headless document code.
#include "app/MainForm.h"

#include "document/ReadWorkFile.h"
#include "document/WorkState.h"
#include "widgets/SpinEdit.h"

#include <QToolButton>

#include <new>

document::WorkState TMainForm::CurrentWorkState() const
{
    document::WorkState state;
    state.Hue = CurHue;
    state.Saturation = CurSat;
    state.Brightness = BrightEd->value();
    state.Erase = RadiergummiBtn->isChecked();
    state.Zoom = ZoomEd->value();
    return state;
}

void TMainForm::ApplyWorkState(const document::WorkState &state)
{
    BrightEd->setValue(state.Brightness); // reads the colour boxes: set CurHue after it
    CurHue = state.Hue;
    CurSat = state.Saturation;
    (state.Erase ? RadiergummiBtn : ColorierenBtn)->setChecked(true);
    ZoomEd->setValue(state.Zoom);
    PalPaintBoxPaint();
}

void TMainForm::AdoptWorkFile(const document::WorkFileContent &content, const std::string &fileName)
{
    if (!content.Read) {
        ShowLoadMessage({content.Error, document::LoadErrorTitle(fileName)});
        return;
    }
    try {
        UndoHistory.Start(content.Rasters.Source, content.Rasters.Work);
    } catch (const std::bad_alloc &) {
        // No room for the picture undo rebuilds from: the previous picture stays.
        seams_.Rasters.Delete(content.Rasters.Source);
        seams_.Rasters.Delete(content.Rasters.Work);
        ShowLoadMessage({"There is not enough memory to keep the work file's picture for undo. "
                         "The previous picture is kept.",
                         document::LoadErrorTitle(fileName)});
        return;
    }
    seams_.Rasters.Delete(SourceRaster);
    seams_.Rasters.Delete(WorkRaster);
    SourceRaster = content.Rasters.Source;
    WorkRaster = content.Rasters.Work;
    DropRecovery();
    // A work file of this program puts back the window's state and the stroke record;
    // one without them, the start-up defaults. Other OpenRaster files open as any
    // picture does.
    if (content.Work)
        ApplyWorkState(content.State.value_or(document::WorkState{}));
    if (content.Strokes)
        UndoHistory.AdoptRecord(WorkRaster, *content.Strokes);
    ZoomEdChange();
    FollowEdgesCheckClick();
}
