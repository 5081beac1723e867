// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures that a window keeps in JPEG form, decoded with libjpeg.
#pragma once

#include <QByteArray>
#include <QImage>

// The picture in bytes (a JPEG file's content) as an RGB888 image at its own size, as
// libjpeg decodes it with its default settings. A null image when the bytes are not a
// complete, undamaged JPEG picture (libjpeg would fill in what is missing; here that
// counts as a failure), when it is larger than 16384 pixels on a side, or in a colour
// space other than grey, YCbCr or RGB. Nothing is shown to the user.
QImage DecodeJpeg(const QByteArray &bytes);
