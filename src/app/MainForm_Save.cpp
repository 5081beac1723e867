// SPDX-License-Identifier: GPL-3.0-or-later
// Save as: writing the work raster to a picture file in the format its name's
// extension gives, or the whole work (both rasters and the colour, tool and zoom) to an
// OpenRaster work file for a name ending in .ora. The file is written to a temporary file beside
// the target and renamed over it only when everything was written, so a failed save never damages
// an existing file.
#include "app/MainForm.h"

#include "document/SaveFormat.h"
#include "document/SavePicture.h"
#include "document/SaveWorkFile.h"
#include "document/WorkState.h"
#include "widgets/MessageService.h"

void TMainForm::Saveas1Click()
{
    SaveWorkAs();
}

bool TMainForm::SaveWorkAs()
{
    const std::optional<QString> chosen = dialogs_->ChooseSaveFile(SaveDialog1);
    if (!chosen || chosen->isEmpty())
        return false;
    const bool workFile = document::IsWorkFileName(*chosen);
    if (!workFile && !document::SaveFormatFor(*chosen)) {
        messages_->show(document::SaveExtensionsHelp(), QString(), MessageIcon::Warning,
                        MessageButton::Ok);
        return false;
    }
    const QString failure = workFile
                                ? document::SaveWorkFile(*chosen, SourceRaster, WorkRaster,
                                                         CurrentWorkState(), UndoHistory.Record())
                                : document::SavePicture(WorkRaster, *chosen);
    if (!failure.isEmpty()) {
        messages_->show(failure, QString(), MessageIcon::Error, MessageButton::Ok);
        return false;
    }
    // What the file holds now is the state changes are counted from.
    UndoHistory.MarkSaved();
    DropRecovery();
    return true;
}
