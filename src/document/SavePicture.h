// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a raster to a picture file in the format its name's extension gives. The
// picture is encoded in memory and then replaces the file through ReplaceFile, so a failure (a full
// disk, a size limit, a folder that cannot be written, a target that is a folder) never damages an
// existing file and leaves no temporary file behind.
#pragma once

#include "document/RasterImage.h"

#include <QString>

namespace document {

// Empty on success; otherwise the reason for the user, naming the file.
QString SavePicture(const RasterImage &raster, const QString &fileName);

} // namespace document
