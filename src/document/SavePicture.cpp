// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SavePicture.h"

#include "document/RasterQImage.h"
#include "document/ReplaceFile.h"
#include "document/SaveFormat.h"

#include <QBuffer>
#include <QImageWriter>

namespace document {

QString SavePicture(const RasterImage &raster, const QString &fileName)
{
    const std::optional<SaveFormat> format = SaveFormatFor(fileName);
    if (!format)
        return SaveExtensionsHelp();
    const QString cannot = QStringLiteral("The picture could not be saved as \"%1\":\n%2");
    if (!QImageWriter::supportedImageFormats().contains(format->Format))
        return cannot.arg(fileName, QStringLiteral("this system has no writer for %1 files.")
                                        .arg(QString::fromLatin1(format->Format.toUpper())));
    const QImage image = RasterToQImage(raster);
    if (image.isNull())
        return cannot.arg(fileName, QStringLiteral("there is no picture in memory."));

    // Encoded in memory first, so that the encoder's refusals and the file system's
    // (a full disk, a size limit) each come with their own reason.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format->Format);
    if (format->Quality >= 0)
        writer.setQuality(format->Quality);
    if (!writer.write(image))
        return cannot.arg(fileName, writer.errorString());

    const QString failure = ReplaceFile(fileName, encoded);
    if (!failure.isEmpty())
        return cannot.arg(fileName, failure);
    return QString();
}

} // namespace document
