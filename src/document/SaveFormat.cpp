// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SaveFormat.h"

#include <QFileInfo>

namespace document {

std::optional<SaveFormat> SaveFormatFor(const QString &fileName)
{
    // suffix(), not completeSuffix(): "holiday.2024.png" is a PNG file.
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("png"))
        return SaveFormat{"png", -1};
    if (ext == QLatin1String("bmp") || ext == QLatin1String("dib"))
        return SaveFormat{"bmp", -1};
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") || ext == QLatin1String("jif"))
        return SaveFormat{"jpeg", 95};
    if (ext == QLatin1String("tif") || ext == QLatin1String("tiff"))
        return SaveFormat{"tiff", -1};
    return std::nullopt;
}

bool IsWorkFileName(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower() == QLatin1String("ora");
}

QString SaveExtensionsHelp()
{
    return QStringLiteral(
        "The picture was not saved. Please end the file name with one of these "
        "extensions:\n.png (PNG), .bmp or .dib (Windows bitmap), .jpg, .jpeg or .jif "
        "(JPEG), .tif or .tiff (TIFF), or .ora for a work file (OpenRaster) that keeps the "
        "original picture beside the colours.");
}

} // namespace document
