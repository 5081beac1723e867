// SPDX-License-Identifier: GPL-3.0-or-later
// Save as: writing the work raster to a picture file in the format its name's
// extension gives. The file is written to a temporary file beside the target and
// renamed over it only when everything was written, so a failed save never damages
// an existing file.
#include "app/MainForm.h"

#include "document/RasterQImage.h"
#include "document/SaveFormat.h"
#include "platform/ui/MessageService.h"

#include <QImageWriter>
#include <QSaveFile>

void TMainForm::Saveas1Click()
{
    const std::optional<QString> chosen = dialogs_->ChooseSaveFile(SaveDialog1);
    if (!chosen || chosen->isEmpty())
        return;
    if (!document::SaveFormatFor(*chosen)) {
        messages_->show(document::SaveExtensionsHelp(), QString(), MessageIcon::Warning,
                        MessageButton::Ok);
        return;
    }
    const QString failure = SaveWorkRaster(*chosen);
    if (!failure.isEmpty())
        messages_->show(failure, QString(), MessageIcon::Error, MessageButton::Ok);
}

QString TMainForm::SaveWorkRaster(const QString &fileName) const
{
    const std::optional<document::SaveFormat> format = document::SaveFormatFor(fileName);
    if (!format)
        return document::SaveExtensionsHelp();
    const QString cannot = QStringLiteral("The picture could not be saved as \"%1\":\n%2");
    if (!QImageWriter::supportedImageFormats().contains(format->Format))
        return cannot.arg(fileName, QStringLiteral("this system has no writer for %1 files.")
                                        .arg(QString::fromLatin1(format->Format.toUpper())));
    const QImage image = document::RasterToQImage(WorkRaster);
    if (image.isNull())
        return cannot.arg(fileName, QStringLiteral("there is no picture in memory."));

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return cannot.arg(fileName, file.errorString());
    QImageWriter writer(&file, format->Format);
    if (format->Quality >= 0)
        writer.setQuality(format->Quality);
    if (!writer.write(image)) {
        const QString reason = writer.errorString();
        file.cancelWriting();
        return cannot.arg(fileName, reason);
    }
    if (!file.commit())
        return cannot.arg(fileName, file.errorString());
    return QString();
}
