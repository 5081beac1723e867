// SPDX-License-Identifier: GPL-3.0-or-later
// The Orientation (tag 274) of the first image directory of an Exif block, as JPEG files
// from cameras and phones carry it in their APP1 marker ("Exif\0\0", then a TIFF
// structure). Every offset is checked against the block; nothing outside it is read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rastix {

// 1 to 8, or 1 when the block is no Exif block, has no orientation or a broken one.
int ExifOrientation(const uint8_t *data, size_t size);

} // namespace rastix
