// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a picture file into the document: from the open dialog, a file dropped on
// the window (MainForm_Drop.cpp) or the command line. The work is the headless loading
// code; this side asks for the file, converts through DepthUpTo, shows failures and
// repaints the view.
#include "app/MainForm.h"

#include "app/CommandLineFile.h"
#include "document/DepthConversion.h"
#include "document/PictureLoader.h"
#include "document/ReadWorkFile.h"
#include "widgets/MessageService.h"

#include <QFile>

#include <optional>

namespace {

QString FromLocal(const std::string &text)
{
    return QString::fromLocal8Bit(text.data(), qsizetype(text.size()));
}

} // namespace

void TMainForm::Open1Click()
{
    if (!SaveChangesQuery())
        return;
    const std::optional<QString> fileName = Dialogs().ChooseOpenFile(OpenDialog1);
    if (!fileName)
        return;
    openfilenow(*fileName);
}

void TMainForm::OpenPictureFile(const QString &fileName)
{
    if (SaveChangesQuery())
        openfilenow(fileName);
}

void TMainForm::OpenCommandLine(const QStringList &arguments)
{
    const QString fileName = CommandLineFile(arguments);
    if (!fileName.isEmpty())
        OpenPictureFile(fileName);
}

void TMainForm::openfilenow(const QString &fileName)
{
    const std::string name = QFile::encodeName(fileName).toStdString();
    // OpenRaster files (zip archives) are read here; every other file by the library.
    if (const std::optional<document::WorkFileContent> work =
            document::OpenWorkFile(name, seams_.Rasters)) {
        AdoptWorkFile(*work, name);
        return;
    }
    const document::OpenedPicture opened =
        document::OpenPicture(name, reinterpret_cast<void *>(winId()), seams_.Rasters);
    if (!opened.Opened) {
        ShowLoadMessage(opened.Message);
        return;
    }
    // The previous pair stays until the new one is complete: a conversion or a working
    // copy that cannot be made leaves the document, the view and the progress as they
    // were.
    const document::DocumentRasters previous{SourceRaster, WorkRaster};
    SourceRaster = opened.Raster;
    DepthUpTo(24);
    const document::LoadResult result =
        document::AdoptPicture(previous, SourceRaster, name, seams_.Rasters);
    SourceRaster = result.Rasters.Source;
    WorkRaster = result.Rasters.Work;
    if (!result.Loaded) {
        ShowLoadMessage(result.Message);
        return;
    }
    UndoHistory.Clear(); // a new picture starts a new history
    DropRecovery();
    ZoomEdChange();
    FollowEdgesCheckClick();
}

void TMainForm::DepthUpTo(int depth)
{
    // SourceRaster is replaced only by a complete conversion; on failure it stays as it
    // was.
    document::ConvertInPlace(SourceRaster, depth, StatusBarProgress(), seams_.Rasters);
}

void TMainForm::ShowLoadMessage(const document::LoadMessage &message)
{
    Messages().show(FromLocal(message.Text), FromLocal(message.Caption), MessageIcon::None,
                    MessageButton::Ok);
}
