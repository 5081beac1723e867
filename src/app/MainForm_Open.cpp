// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a picture file into the document. The work is the headless LoadPicture;
// this side asks for the file, shows failures and repaints the view.
#include "app/MainForm.h"

#include "document/DepthConversion.h"
#include "document/PictureLoader.h"
#include "platform/ui/MessageService.h"

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
    const std::optional<QString> fileName = Dialogs().ChooseOpenFile(OpenDialog1);
    if (!fileName)
        return;
    openfilenow(*fileName);
}

void TMainForm::openfilenow(const QString &fileName)
{
    document::LoadSeams seams;
    seams.Allocate = [this](int32_t width, int32_t height, int32_t bits, const void *, int32_t) {
        return NewRaster(width, height, bits);
    };
    seams.Release = [this](const RasterImage &raster) { ReleaseRaster(raster); };
    seams.Open = seams_.OpenDib;

    const document::LoadResult result = document::LoadPicture(
        {SourceRaster, WorkRaster}, QFile::encodeName(fileName).toStdString(),
        reinterpret_cast<void *>(winId()), [this](int32_t percent) { SetProStatus(percent); },
        seams);
    if (!result.Loaded) {
        // The document, the view and the progress stay as they were.
        Messages().show(FromLocal(result.Message.Text), FromLocal(result.Message.Caption),
                        MessageIcon::None, MessageButton::Ok);
        return;
    }
    SourceRaster = result.Rasters.Source;
    WorkRaster = result.Rasters.Work;
    ZoomEdChange();
}

void TMainForm::DepthUpTo(int depth)
{
    // SourceRaster is replaced only by a complete conversion; on failure it stays as it
    // was. Loading does the same through LoadPicture, which also keeps the old
    // document until the new one is complete.
    const document::DepthConversion converted = document::DepthUpTo(
        SourceRaster, depth, [this](int32_t percent) { SetProStatus(percent); },
        [this](int32_t width, int32_t height, int32_t bits, const void *, int32_t) {
            return NewRaster(width, height, bits);
        });
    if (converted.Ok && converted.Raster.Pixels != SourceRaster.Pixels) {
        ReleaseRaster(SourceRaster);
        SourceRaster = converted.Raster;
    }
}
