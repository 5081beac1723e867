// SPDX-License-Identifier: GPL-3.0-or-later
// Which picture format Save as writes for a file name, from its extension alone.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace document {

struct SaveFormat {
    QByteArray Format; // Qt image-format name: "png", "bmp", "jpeg", "tiff"
    int Quality = -1;  // writer quality, -1 for the format's default
};

// .png; .bmp and .dib; .jpg, .jpeg and .jif (quality 95); .tif and .tiff; any case.
// Nothing for any other or no extension.
std::optional<SaveFormat> SaveFormatFor(const QString &fileName);

// Whether Save as writes a work file (OpenRaster) for the name: it ends in .ora, any case.
bool IsWorkFileName(const QString &fileName);

// The sentence telling the user which extensions Save as understands.
QString SaveExtensionsHelp();

} // namespace document
