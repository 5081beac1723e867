// SPDX-License-Identifier: GPL-3.0-or-later
// Save as: writing the work raster to a picture file.
#include "app/MainForm.h"

void TMainForm::Saveas1Click() {}

QString TMainForm::SaveWorkRaster(const QString &) const
{
    return QString();
}
