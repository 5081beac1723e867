// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of the picture: Ctrl+Z undoes the last brush stroke or whole-picture
// operation, Ctrl+Shift+Z and Ctrl+Y redo it. They are the window's shortcuts, not menu
// items. The work is the headless history; this side only repaints.
#include "app/MainForm.h"

#include "view/BrushOutline.h"
#include "widgets/QtRect.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

void TMainForm::UndoStep()
{
    if (Painting || !UndoHistory.CanUndo())
        return;
    ShowUndone(UndoHistory.Undo(SourceRaster, WorkRaster, StatusBarProgress()));
    RecoveryStep();
}

void TMainForm::RedoStep()
{
    if (Painting || !UndoHistory.CanRedo())
        return;
    ShowUndone(UndoHistory.Redo(SourceRaster, WorkRaster, StatusBarProgress()));
    RecoveryStep();
}

void TMainForm::ShowUndone(const Rect &changed)
{
    // The outline goes while the picture is redrawn and comes back where it was.
    const bool outline = OutlineShown;
    RepaintStroke(changed);
    if (outline) {
        view::InvertOutline(PaintBox1->Canvas(), OutlineRect);
        PaintBox1->Present();
        OutlineShown = true;
    }
}
